#include "text/cp1251.h"
#include "ui/qtcodec.h"

#include <QTest>
#include <iconv.h>

using namespace veldor;

class TestCp1251 : public QObject
{
    Q_OBJECT
private slots:
    // Every byte decodes as the C library's own Windows-1251 converter decodes it, and encodes back.
    void everyByteMatchesTheSystemConverter()
    {
        iconv_t cd = iconv_open("UTF-8", "WINDOWS-1251");
        QVERIFY(cd != reinterpret_cast<iconv_t>(-1));
        for (int b = 0; b < 256; ++b) {
            if (b == 0x98)
                continue; // unassigned in the code page
            char in[1] = {static_cast<char>(b)};
            char out[8] = {};
            char* inp = in;
            char* outp = out;
            size_t inLeft = 1;
            size_t outLeft = sizeof out;
            QVERIFY(iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1));
            const std::string expected(out, sizeof out - outLeft);
            const std::string byte(1, static_cast<char>(b));
            QCOMPARE(cp1251::bytesOf(cp1251::toUtf8(byte)), expected);
            QCOMPARE(cp1251::fromUtf8(cp1251::asUtf8(expected)), byte);
        }
        iconv_close(cd);
    }

    void russianTextRoundTrips()
    {
        const std::string utf8 = "Лабиринт Наемников: ёЁ №5 «ход»";
        const std::string bytes = cp1251::fromUtf8(cp1251::asUtf8(utf8));
        QCOMPARE(bytes.size(), QString::fromUtf8(utf8.c_str()).size());
        QCOMPARE(static_cast<unsigned char>(bytes[0]), 0xCBu); // Л
        QCOMPARE(cp1251::bytesOf(cp1251::toUtf8(bytes)), utf8);
    }

    void unmappableAndBrokenInputBecomesQuestionMarks()
    {
        QCOMPARE(cp1251::fromUtf8(cp1251::asUtf8("a\xE2\x82\xB9z")),
                 std::string("a?z")); // rupee sign: not in the code page
        QCOMPARE(cp1251::fromUtf8(cp1251::asUtf8("a\xF0\x9F\x98\x80z")), std::string("a?z")); // emoji
        QCOMPARE(cp1251::fromUtf8(cp1251::asUtf8("a\xC3")), std::string("a?"));               // cut-off sequence
        QCOMPARE(cp1251::fromUtf8(cp1251::asUtf8("\xFF\xFE")), std::string("??"));
        QCOMPARE(cp1251::toUtf8("\x98"), std::u8string(u8"\uFFFD"));
    }

    void qtBoundaryKeepsTheBytes()
    {
        std::string all;
        for (int b = 0; b < 256; ++b)
            all += static_cast<char>(b);
        const QString text = fromCp1251(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0xC0), QChar(0x0410));
        std::string back = toCp1251(text);
        back[0x98] = '\x98'; // the unassigned byte cannot come back
        QCOMPARE(back, all);
        QCOMPARE(toCp1251(QStringLiteral("L-3(12x7); Выход")), cp1251::fromUtf8(u8"L-3(12x7); Выход"));
        QCOMPARE(toCp1251(QString::fromUcs4(U"\U0001F600")), std::string("?"));
    }
};

QTEST_APPLESS_MAIN(TestCp1251)
#include "tst_cp1251.moc"
