// Writing a class tree as config text.
#pragma once

#include <string>

namespace mc {

class TRClass;

// The members of cls, one per line (CR LF), each line indented by
// indentLevel tabs and one more per nested class.
void AppendMembersText(std::string& out, const TRClass& cls, int indentLevel);

// A class with its header, braces and members.
void AppendClassText(std::string& out, const TRClass& cls, int indentLevel);

}  // namespace mc
