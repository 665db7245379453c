#include "Config/ConfigTextWriter.h"

#include <utility>
#include <vector>

#include "Config/ConfigClass.h"

namespace mc {

namespace {

void AppendClassHeader(std::string& out, const TRClass& k, size_t level)
{
    out.append(level, '\t');
    out += "class ";
    out += k.Name;
    if (k.Base) {
        out += " : ";
        out += k.Base->Name;
    }
    out += "\r\n";
    out.append(level, '\t');
    out += "{\r\n";
}

}  // namespace

void AppendMembersText(std::string& out, const TRClass& cls, int indentLevel)
{
    // Depth first without recursion: a frame is a class and its next member.
    std::vector<std::pair<const TRClass*, size_t>> stack{{&cls, 0}};
    const size_t base = indentLevel > 0 ? static_cast<size_t>(indentLevel) : 0;
    while (!stack.empty()) {
        const size_t level = base + stack.size() - 1;
        const TRClass* k = stack.back().first;
        const size_t next = stack.back().second;
        if (next == k->Members().size()) {
            stack.pop_back();
            if (!stack.empty()) {
                out.append(level - 1, '\t');
                out += "};\r\n";
            }
            continue;
        }
        ++stack.back().second;
        const TRMember* m = k->Members()[next].get();
        if (m->IsClass()) {
            AppendClassHeader(out, static_cast<const TRClass&>(*m), level);
            stack.emplace_back(static_cast<const TRClass*>(m), 0);
            continue;
        }
        const auto* f = static_cast<const TRField*>(m);
        out.append(level, '\t');
        out += f->Name;
        if (f->IsArrayField()) out += "[]";
        out += '=';
        if (f->Value) f->Value->AppendText(out);
        out += ";\r\n";
    }
}

void AppendClassText(std::string& out, const TRClass& cls, int indentLevel)
{
    const size_t level = indentLevel > 0 ? static_cast<size_t>(indentLevel) : 0;
    AppendClassHeader(out, cls, level);
    AppendMembersText(out, cls, indentLevel + 1);
    out.append(level, '\t');
    out += "};\r\n";
}

}  // namespace mc
