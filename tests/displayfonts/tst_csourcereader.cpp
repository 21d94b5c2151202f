#include "csourcereader.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// C read as a compiler reads it. Each row's declarations are written out in
// a short form of their own, "type name[dims] section = value", the values
// as numbers, <names>, "hex bytes" of strings and {lists}, so that the
// expected trees are written by hand from what C means.
class tst_CSourceReader : public QObject
{
    Q_OBJECT

private slots:
    void values_data();
    void values();
    void conditionals_data();
    void conditionals();
    void faults_data();
    void faults();
    void positions();
    void asCompiled_data();
    void asCompiled();

private:
    QTemporaryDir m_dir;
};

namespace {

QByteArray written(const CSourceReader::Value &value)
{
    using Kind = CSourceReader::Value::Kind;
    switch (value.kind) {
    case Kind::Number:
        return QByteArray::number(value.number);
    case Kind::Name:
        return '<' + value.text + '>';
    case Kind::String:
        return '"' + value.text.toHex() + '"';
    case Kind::List:
        break;
    }
    QByteArrayList items;
    for (const CSourceReader::Value &item : value.items)
        items.append(written(item));
    return '{' + items.join(", ") + '}';
}

QByteArray written(const CSourceReader::Source &source)
{
    QByteArrayList declarations;
    for (const CSourceReader::Declaration &declaration : source.declarations) {
        QByteArray text = declaration.external ? "external " : "";
        text += declaration.type.join(' ') + ' ' + declaration.name;
        for (qint64 dimension : declaration.dimensions)
            text += '[' + QByteArray::number(dimension) + ']';
        if (!declaration.sectionMacro.isEmpty())
            text += ' ' + declaration.sectionMacro + "(" + declaration.sectionName + ")";
        declarations.append(text + " = " + written(declaration.value));
    }
    return declarations.join("; ");
}

QByteArray nested(int depth, const QByteArray &open, const QByteArray &inner, const QByteArray &close)
{
    return open.repeated(depth) + inner + close.repeated(depth);
}

} // namespace

void tst_CSourceReader::values_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("declarations");

    QTest::newRow("hex, octal, decimal, suffixes")
            << QByteArray("int a[] = {0x1F, 017, 42, 10U, 7UL, 0X0aull, 0};") << QByteArray("int a[-1] = {31, 15, 42, 10, 7, 10, 0}");
    QTest::newRow("minus, casts, operators")
            << QByteArray("int a[] = {-6, (uint8_t)0x1FF, (int8_t)0xFF, -(3), ~0, 1 << 4 | 1, 7 / 2, 0 ? 1 : 2 ? 3 : 4};")
            << QByteArray("int a[-1] = {-6, 255, -1, -3, -1, 17, 3, 3}");
    QTest::newRow("character literals")
            << QByteArray(R"(char a[] = {'A', '\n', '\x41', '\101', '\\', '\'', '\377'};)")
            << QByteArray("char a[-1] = {65, 10, 65, 65, 92, 39, 255}");
    QTest::newRow("string escapes")
            << QByteArray(R"(const char *s = "\101\x41\n\t\"\\\0z\1011\x41g\?";)")
            << QByteArray(R"(const char * s = "41410a09225c007a413141673f")");
    QTest::newRow("literals run together over lines")
            << QByteArray("const uint8_t f[7] =\n  \"\\22\\0\\3\" \"\\377\"\n  \"ab\";") << QByteArray(R"(const uint8_t f[7] = "120003ff6162")");
    QTest::newRow("literal spliced at a line's end")
            << QByteArray("const uint8_t f[4] = \"\\336\\0\\\n\\3\";") << QByteArray(R"(const uint8_t f[4] = "de0003")");
    QTest::newRow("name spliced") << QByteArray("int fo\\\r\no = 1;") << QByteArray("int foo = 1");
    QTest::newRow("GFXfont") << QByteArray("const GFXfont foo PROGMEM = {\n  (uint8_t *)fooBitmaps,\n"
                                           "  (GFXglyph *)fooGlyphs, 0x20, 0x7E, 18 };")
                             << QByteArray("const GFXfont foo = {<fooBitmaps>, <fooGlyphs>, 32, 126, 18}");
    QTest::newRow("addresses") << QByteArray("const void *p[] = {&foo[0], (uint8_t *)&bar[0], &baz, qux};")
                               << QByteArray("const void * p[-1] = {<foo>, <bar>, <baz>, <qux>}");
    QTest::newRow("expressions that are no number")
            << QByteArray("int a[] = {foo + 3, sizeof(x), &foo[1], 1.5};")
            << QByteArray("int a[-1] = {<foo+3>, <sizeof(x)>, <&foo[1]>, <1.5>}");
    QTest::newRow("nested lists, trailing commas")
            << QByteArray("static const GFXglyph g[] PROGMEM = { {1, 2,}, {3}, {}, };")
            << QByteArray("static const GFXglyph g[-1] = {{1, 2}, {3}, {}}");
    QTest::newRow("designators") << QByteArray("const T t = { .a = 1, [2] = 5, .b.c = {6} };")
                                 << QByteArray("const T t = {1, 5, {6}}");
    QTest::newRow("attributes before and after")
            << QByteArray("static const unsigned char font[] PROGMEM __attribute__((aligned(4))) = {1};")
            << QByteArray("static const unsigned char font[-1] = {1}");
    QTest::newRow("u8g2 section") << QByteArray("const uint8_t f[3] U8G2_FONT_SECTION(\"f\") = \"ab\";")
                                  << QByteArray("const uint8_t f[3] U8G2_FONT_SECTION(f) = \"6162\"");
    QTest::newRow("u8x8 section, no dimension")
            << QByteArray("const uint8_t g[] U8X8_FONT_SECTION(\"g\") = {1};")
            << QByteArray("const uint8_t g[-1] U8X8_FONT_SECTION(g) = {1}");
    QTest::newRow("enum constants as dimensions and values")
            << QByteArray("enum { n = 3, w = n * 2, z, };\nconst uint8_t g[n][w] = {z, -n};")
            << QByteArray("const uint8_t g[3][6] = {7, -3}");
    QTest::newRow("#define as dimensions")
            << QByteArray("#define N (4)\n#define M N+1\nconst uint8_t h[N][M][] = {0};") << QByteArray("const uint8_t h[4][5][-1] = {0}");
    QTest::newRow("braces in comments and literals")
            << QByteArray("/* { */ int a = 1; // }\nint f(void) { return \"}\"[0] + '{'; }\nint b = 2;")
            << QByteArray("int a = 1; int b = 2");
    QTest::newRow("declarators sharing a type")
            << QByteArray("const int a = 1, *p = &a, b[2] = {2, 3}, c;") << QByteArray("const int a = 1; const int * p = <a>; const int b[2] = {2, 3}");
    QTest::newRow("structs, typedefs and prototypes passed over")
            << QByteArray("typedef struct { uint8_t *bitmap; } GFXfont;\nstruct X { int a; } x;\nint f(int);\nint k = 1;")
            << QByteArray("int k = 1");
    QTest::newRow("extern \"C\" block") << QByteArray("extern \"C\" {\nconst int a = 1;\n}\nconst int b = 2;")
                                       << QByteArray("const int a = 1; const int b = 2");
    QTest::newRow("CR LF") << QByteArray("const int a\r\n= 2;\r\n") << QByteArray("const int a = 2");
    QTest::newRow("64 braces deep") << "int a = " + nested(64, "{", "1", "}") + ";"
                                    << "int a = " + nested(64, "{", "1", "}");
}

void tst_CSourceReader::values()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, declarations);
    const CSourceReader::Source source = CSourceReader::read(text);
    QVERIFY2(source.ok(), qPrintable(source.error));
    QCOMPARE(written(source), declarations);
}

void tst_CSourceReader::conditionals_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("declarations");

    QTest::newRow("own switch off, in both arrays")
            << QByteArray("#define EXT 0\nconst uint8_t a[] = {1,\n#if (EXT)\n2,\n#endif\n};\n"
                          "const int b[] = {3,\n#if (EXT)\n4,\n#endif\n};")
            << QByteArray("const uint8_t a[-1] = {1}; const int b[-1] = {3}");
    QTest::newRow("own switch on") << QByteArray("#define EXT (1)\nconst uint8_t a[] = {1,\n#if (EXT)\n2,\n#endif\n};")
                                   << QByteArray("const uint8_t a[-1] = {1, 2}");
    QTest::newRow("#elif, #else") << QByteArray("#define V 2\n#if V == 1\nint a = 1;\n#elif V == 2\nint b = 2;\n"
                                                "#elif 1\nint c = 3;\n#else\nint d = 4;\n#endif")
                                  << QByteArray("int b = 2");
    QTest::newRow("#else taken") << QByteArray("#define V 0\n#if V\nint a = 1;\n#else\nint b = 2;\n#endif")
                                 << QByteArray("int b = 2");
    QTest::newRow("#elifdef") << QByteArray("#define G\n#undef H\n#ifdef H\nint a = 1;\n#elifdef G\nint b = 2;\n#endif")
                              << QByteArray("int b = 2");
    QTest::newRow("#ifdef, #ifndef") << QByteArray("#define G\n#ifdef G\nint a = 1;\n#endif\n#ifndef G\nint b = 2;\n#endif")
                                     << QByteArray("int a = 1");
    QTest::newRow("header guard") << QByteArray("#ifndef H_\n#define H_\nint a = 1;\n#endif") << QByteArray("int a = 1");
    QTest::newRow("#undef") << QByteArray("#define X 1\n#undef X\n#if X\nint a = 1;\n#endif\n#ifdef X\nint b = 2;\n#endif")
                            << QByteArray("");
    QTest::newRow("enum constant") << QByteArray("enum { n = 2 };\n#if n > 1\nint a = 1;\n#endif") << QByteArray("int a = 1");
    QTest::newRow("user's macro: both branches, external")
            << QByteArray("#ifdef U8G2_USE_LARGE_FONTS\nint a = 1;\n#else\nint b = 2;\n#endif\nint c = 3;")
            << QByteArray("external int a = 1; external int b = 2; int c = 3");
    QTest::newRow("user's macro, then the file's")
            << QByteArray("#if defined(ARDUINO)\nint a = 1;\n#elif 0\nint b = 2;\n#elif 1\nint c = 3;\n#else\nint d = 4;\n#endif")
            << QByteArray("external int a = 1; external int c = 3");
    QTest::newRow("user's macro that cannot matter")
            << QByteArray("#if defined(ARDUINO) && 0\nint a = 1;\n#endif\n#if __has_include(<x.h>) || 1\nint b = 2;\n#endif")
            << QByteArray("int b = 2");
    QTest::newRow("own switch inside the user's")
            << QByteArray("#define X 0\n#ifdef ARDUINO\n#if X\nint a = 1;\n#else\nint b = 2;\n#endif\n#endif")
            << QByteArray("external int b = 2");
    QTest::newRow("user's inside a block left out")
            << QByteArray("#if 0\n#ifdef ARDUINO\nint a = 1;\n#else\nint b = 2;\n#endif\n#endif") << QByteArray("");
    QTest::newRow("user's switch inside an array")
            << QByteArray("const int a[] = {1,\n#ifdef FOO\n2,\n#endif\n};") << QByteArray("external const int a[-1] = {1, 2}");
    QTest::newRow("user's macro: one declaration's head for each build")
            << QByteArray("#if V >= 8\nconst int a[] = {\n#elif V\nint a[] = {\n#else\nint a[3] = {\n#endif\n1, 2};\nint b = 3;")
            << QByteArray("external const int a[-1] = {1, 2}; int b = 3");
    QTest::newRow("blocks left out are not read as C")
            << QByteArray("#if 0\nit's \"not closed\n/* { */\n#else\nint a = 1;\n#endif /* } */") << QByteArray("int a = 1");
}

void tst_CSourceReader::conditionals()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, declarations);
    const CSourceReader::Source source = CSourceReader::read(text);
    QVERIFY2(source.ok(), qPrintable(source.error));
    QCOMPARE(written(source), declarations);
}

void tst_CSourceReader::faults_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("words"); // in the message

    QTest::newRow("#if without #endif") << QByteArray("int a = 1;\n#if 1\n#if 0\n#endif\n") << 2 << "#if without #endif";
    QTest::newRow("#endif alone") << QByteArray("int a;\n#endif") << 2 << "#endif without #if";
    QTest::newRow("#else twice") << QByteArray("#if 1\n#else\n#else\n#endif") << 3 << "#else after #else";
    QTest::newRow("#elif after #else") << QByteArray("#if 1\n#else\n#elif 1\n#endif") << 3 << "#elif after #else";
    QTest::newRow("string cut short") << QByteArray("int a;\nconst char s[] = \"abc;\nint b;") << 2 << "string literal";
    QTest::newRow("string cut by the end") << QByteArray("const uint8_t f[] = \"\\1\\2") << 1 << "string literal";
    QTest::newRow("character cut short") << QByteArray("int a = '") << 1 << "character literal";
    QTest::newRow("comment cut short") << QByteArray("int a;\n/* open\n") << 2 << "comment";
    QTest::newRow("initializer cut short") << QByteArray("int a;\nconst uint8_t a[] = {\n1, 2,\n") << 2 << "'a' does not close";
    QTest::newRow("';' inside braces") << QByteArray("const uint8_t b[] = {{ 1, 2 };") << 1 << "'b' does not close";
    QTest::newRow("no ';'") << QByteArray("int a = {1}\n}") << 2 << "does not end with ';'";
    QTest::newRow("function body cut short") << QByteArray("int f(void) {\n") << 1 << "not closed";
    QTest::newRow("65 braces deep") << "int a = " + nested(65, "{", "1", "}") + ";" << 1 << "deeper than 64";
    QTest::newRow("65 #if deep") << nested(65, "#if 1\n", "", "#endif\n") << 65 << "deeper than 64";
    QTest::newRow("parentheses in #if") << "\n#if " + nested(100, "(", "1", ")") + "\n#endif" << 2 << "deeper than 64";
    QTest::newRow("parentheses in a value") << "int a = " + nested(100, "(", "1", ")") + ";" << 1 << "deeper than 64";
    QTest::newRow("minus signs in a value") << "int a = " + QByteArray("- ").repeated(100) + "1;" << 1 << "deeper than 64";
}

void tst_CSourceReader::faults()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, words);
    const CSourceReader::Source source = CSourceReader::read(text);
    QVERIFY2(source.error.contains(words), qPrintable(source.error));
    QCOMPARE(source.errorLine, line);
}

// Lines count the lines a splice joins; offsets are the text's own.
void tst_CSourceReader::positions()
{
    const QByteArray text = "// font\n#define A \\\n  1\n/* two\n lines */ static const int\n  b[] =\n{ 1,\n  2 }; int c = 3;\\\nint d;";
    const CSourceReader::Source source = CSourceReader::read(text);
    QVERIFY2(source.ok(), qPrintable(source.error));
    QCOMPARE(source.declarations.size(), size_t(2));
    const CSourceReader::Declaration &b = source.declarations[0];
    QCOMPARE(b.line, 6);
    QCOMPARE(b.value.line, 7);
    QCOMPARE(b.value.items[1].line, 8);
    QCOMPARE(text.mid(b.begin, b.end - b.begin), QByteArray("static const int\n  b[] =\n{ 1,\n  2 };"));
    const CSourceReader::Declaration &c = source.declarations[1];
    QCOMPARE(text.mid(c.begin, c.end - c.begin), QByteArray("int c = 3;"));
    QCOMPARE(source.constants.value("A"), 1);
    QCOMPARE(source.comments.size(), size_t(2));
    QCOMPARE(source.comments[0].line, 1);
    QCOMPARE(source.comments[0].text, QByteArray("font"));
    QCOMPARE(source.comments[1].line, 4);
    QCOMPARE(source.comments[1].text, QByteArray("two\n lines"));

    // Both branches of the user's switch declare one name: the first is found.
    const CSourceReader::Source twice = CSourceReader::read("#ifdef A\nint a = 1;\n#else\nint a = 2;\n#endif");
    QCOMPARE(twice.find("a"), &twice.declarations[0]);
    QCOMPARE(twice.find("b"), nullptr);
}

// The compiler is the reference: each row declares an array `v`, which a
// program built from the row prints element by element.
void tst_CSourceReader::asCompiled_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("escapes") << QByteArray(R"(const unsigned char v[] = "\101\x41\n\t\"\\\0z\1011\x41g\?\a\b\f\v\r";)");
    QTest::newRow("escapes end with their literal") << QByteArray(R"(const unsigned char v[] = "\12" "3" "\x4" "5";)");
    // As u8g2's converter writes a font, its first line spliced.
    QTest::newRow("converter's literal")
            << QByteArray("const uint8_t v[53] U8G2_FONT_SECTION(\"v\") = \n"
                          "  \"\\3\\0\\2\\2\\2\\3\\1\\1\\4\\3\\5\\0\\0\\5\\377\\5\\377\\0\\\n\\0\\0\\0\\0\\30A\\7w\\256\\32J\\5B\\10\"\n"
                          "  \"wF\\245\\225\\26\\0C\\7w\\256\\222\\251\\2\\0\\0\\0\\4\\377\\377\\0\";");
    QTest::newRow("numbers and operators")
            << QByteArray("const long long v[] = {-6, (uint8_t)0x1FF, (int8_t)0xFF, ~0, 1 << 4 | 1, -7 / 2, -7 % 2,\n"
                          "    0 ? 1 : 2, 'A', 0x7FFFFFFFFFFFFFFF, 010, 0b101, 10UL, (short)0x18000};");
    QTest::newRow("enum and #define")
            << QByteArray("enum { n = 3, w = n * 2, z };\n#define N (z + 1)\nconst int v[] = {n, w, z, N, N * -1};");
    QTest::newRow("file's switch") << QByteArray("#define EXT 0\nconst int v[] = {1,\n#if (EXT)\n2,\n#elif !EXT\n3,\n#endif\n4};");
    QTest::newRow("splices and comments")
            << QByteArray("const int v[] = { 0x1\\\nF, 1 /* , 2 */, // 3,\n 4, 5 /\\\n/ 6\n};");
}

void tst_CSourceReader::asCompiled()
{
    QFETCH(QByteArray, text);
    QVERIFY(m_dir.isValid());
    const QString program = m_dir.filePath(QTest::currentDataTag()).replace(u' ', u'_');
    QFile file(program + ".c");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#include <stdint.h>\n#include <stdio.h>\n#define U8G2_FONT_SECTION(name)\n" + text
               + "\nint main(void) { for (unsigned i = 0; i < sizeof v / sizeof v[0]; ++i) "
                 "printf(\"%lld\\n\", (long long)v[i]); return 0; }\n");
    file.close();
    QProcess compiler;
    compiler.start(QStringLiteral(KELVOR_CXX_COMPILER), {"-x", "c", "-std=gnu11", "-o", program, file.fileName()});
    QVERIFY(compiler.waitForFinished(60000));
    QVERIFY2(compiler.exitCode() == 0, compiler.readAllStandardError().constData());
    QProcess run;
    run.start(program);
    QVERIFY(run.waitForFinished(60000));
    QList<qint64> compiled;
    for (const QByteArray &line : run.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty())
            compiled.append(line.toLongLong());
    }
    QVERIFY(!compiled.isEmpty());

    const CSourceReader::Source source = CSourceReader::read(text);
    QVERIFY2(source.ok(), qPrintable(source.error));
    const CSourceReader::Declaration *v = source.find("v");
    QVERIFY(v);
    QList<qint64> read;
    if (v->value.kind == CSourceReader::Value::Kind::String) {
        for (char byte : v->value.text + '\0')
            read.append(uchar(byte));
    }
    for (const CSourceReader::Value &item : v->value.items)
        read.append(item.number);
    QCOMPARE(read, compiled);
}

QTEST_GUILESS_MAIN(tst_CSourceReader)
#include "tst_csourcereader.moc"
