#pragma once
// Translates the file dialogs' "desc|pattern;pattern|desc|pattern" filter
// text into Qt's "desc (pattern pattern);;desc (pattern)" form.

#include <string>
#include <string_view>

namespace mutaplot {

// Each description keeps its own text (including any parentheses of its own);
// its patterns follow in one parenthesised, blank-separated list, which is the
// part Qt reads. "*.*" becomes "*": on this platform a file name need not
// contain a dot, and "all files" must still show it. A description without a
// pattern gets "*". An empty filter gives an empty text (Qt shows all files).
std::string QtFileFilter(std::string_view filter);

}  // namespace mutaplot
