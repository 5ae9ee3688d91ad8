// CObject and run-time class information.
//
//   class CMyWnd : public CWnd { DECLARE_DYNAMIC(CMyWnd) ... };   // header
//   IMPLEMENT_DYNAMIC(CMyWnd, CWnd)                                // .cpp
//   if (pWnd->IsKindOf(RUNTIME_CLASS(CComboBox))) ...
#pragma once

#include <windows.h>

class CObject;

struct CRuntimeClass
{
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                        // 0xFFFF: not serializable
    CObject* (*m_pfnCreateObject)();       // null: not dynamically creatable
    const CRuntimeClass* m_pBaseClass;     // null only for CObject

    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (const_cast<CRuntimeClass*>(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name) \
public: \
    static const CRuntimeClass class##class_name; \
    CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    const CRuntimeClass class_name::class##class_name = { \
        #class_name, static_cast<int>(sizeof(class class_name)), 0xFFFF, nullptr, \
        &base_class_name::class##base_class_name }; \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

class CObject
{
public:
    static const CRuntimeClass classCObject;
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;

    // TRUE when this object's class is pClass or derives from it.
    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

protected:
    CObject() = default;
};
