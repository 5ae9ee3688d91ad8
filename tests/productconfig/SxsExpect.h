// Expectation helper: a statement throws CQuorSXSError with this code and origin.
#pragma once

#include "QuorSXSError.h"

#include <gtest/gtest.h>

#define EXPECT_SXS_ERROR(statement, code, origin)                                        \
    do {                                                                                 \
        try {                                                                            \
            statement;                                                                   \
            ADD_FAILURE() << #statement " did not throw";                                \
        } catch (const CQuorSXSError& sxsError_) {                                       \
            EXPECT_EQ(static_cast<uint32_t>(sxsError_.GetCode()), uint32_t(code)) << #statement; \
            EXPECT_EQ(sxsError_.GetOrigin(), uint32_t(origin)) << #statement;            \
        }                                                                                \
    } while (0)
