// The printf conversions of a text, in order ("%s", "%.2f", "%%"): a
// translation must use the same ones as its English key.
#pragma once

#include <string>
#include <vector>

// Appends every conversion of text to out. FALSE (with error set) for a '%'
// that starts no complete conversion.
bool ExtractPrintfConversions(const std::string& text, std::vector<std::string>& out, std::string& error);
