#include "csourcereader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Arbitrary bytes read as C: read, or refused with one sentence and a line
// inside the text; never read out of bounds. Each declaration lies within
// the text, from a token to its ';', in the order of the text, and reading
// the same bytes again gives the same.
namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_csourcereader: %s\n", what);
    std::abort();
}

bool same(const CSourceReader::Value &a, const CSourceReader::Value &b)
{
    if (a.kind != b.kind || a.number != b.number || a.text != b.text || a.line != b.line
        || a.items.size() != b.items.size())
        return false;
    for (size_t i = 0; i < a.items.size(); ++i) {
        if (!same(a.items[i], b.items[i]))
            return false;
    }
    return true;
}

bool same(const CSourceReader::Source &a, const CSourceReader::Source &b)
{
    if (a.error != b.error || a.errorLine != b.errorLine || a.constants != b.constants
        || a.declarations.size() != b.declarations.size() || a.comments.size() != b.comments.size())
        return false;
    for (size_t i = 0; i < a.comments.size(); ++i) {
        if (a.comments[i].line != b.comments[i].line || a.comments[i].text != b.comments[i].text)
            return false;
    }
    for (size_t i = 0; i < a.declarations.size(); ++i) {
        const CSourceReader::Declaration &x = a.declarations[i];
        const CSourceReader::Declaration &y = b.declarations[i];
        if (x.name != y.name || x.type != y.type || x.dimensions != y.dimensions || x.sectionMacro != y.sectionMacro
            || x.sectionName != y.sectionName || x.line != y.line || x.begin != y.begin || x.end != y.end
            || x.external != y.external || !same(x.value, y.value))
            return false;
    }
    return true;
}

bool linesWithin(const CSourceReader::Value &value, int lines)
{
    if (value.line < 1 || value.line > lines)
        return false;
    for (const CSourceReader::Value &item : value.items) {
        if (!linesWithin(item, lines))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A copy of just the bytes given, so that a read past them is caught.
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const int lines = int(text.count('\n')) + 1;
    const CSourceReader::Source source = CSourceReader::read(text);
    if (!source.ok() && (source.error.contains(u'\n') || source.errorLine < 1 || source.errorLine > lines))
        fail("a refusal that is not one line naming a line of the text");
    qsizetype previous = 0;
    for (const CSourceReader::Declaration &declaration : source.declarations) {
        if (declaration.begin < previous || declaration.end <= declaration.begin || declaration.end > text.size())
            fail("a declaration outside the text or out of order");
        if (text[declaration.end - 1] != ';' || QByteArrayView(" \t\n\r").contains(text[declaration.begin]))
            fail("a declaration that does not run from a token to its ';'");
        if (declaration.line < 1 || declaration.line > lines || !linesWithin(declaration.value, lines))
            fail("a line outside the text");
        if (declaration.name.isEmpty())
            fail("a declaration without a name");
        const CSourceReader::Declaration *found = source.find(declaration.name);
        if (!found || found > &declaration || found->name != declaration.name)
            fail("find() does not give the first declaration of a name");
        previous = declaration.begin;
    }
    if (!same(source, CSourceReader::read(text)))
        fail("reading the same text again gives another result");
    return 0;
}
