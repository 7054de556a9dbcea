#include "settings/loginform.h"
#include "text/cp1251.h"

#include <QTest>

using namespace veldor;

class TestLoginForm : public QObject
{
    Q_OBJECT
private slots:
    void eightCrLfLines()
    {
        const std::string page = LoginFormPage("http://game.example", "hero", "pw");
        QCOMPARE(std::count(page.begin(), page.end(), '\n'), 8);
        QVERIFY(
            page.rfind("<html><head></head><body><form method=\"post\" action=\"http://game.example/login.php\">\r\n"
                       "<table>\r\n",
                       0) == 0);
        QVERIFY(page.find(
                    cp1251::fromUtf8(u8"<td>Логин</td><td><input name=\"login\" size=\"16\" VALUE = \"hero\"></td>")) !=
                std::string::npos);
        QVERIFY(page.find("type=\"password\" VALUE = \"pw\"></td></tr>\r\n") != std::string::npos);
        QVERIFY(page.find(cp1251::fromUtf8(u8"<input value=\"Войти\" type=\"submit\">")) != std::string::npos);
        QVERIFY(page.size() > 2 && page.substr(page.size() - 16) == "</body></html>\r\n");
    }

    void awkwardCredentialsStayOneValue_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("blank") << QByteArray("my pass") << QByteArray("\"my pass\"");
        QTest::newRow("quote") << QByteArray("a\"b") << QByteArray("\"a&quot;b\"");
        QTest::newRow("markup") << QByteArray("x><script>alert(1)</script>")
                                << QByteArray("\"x&gt;&lt;script&gt;alert(1)&lt;/script&gt;\"");
        QTest::newRow("ampersand") << QByteArray("a&amp;b") << QByteArray("\"a&amp;amp;b\"");
        QTest::newRow("empty") << QByteArray() << QByteArray("\"\"");
    }
    void awkwardCredentialsStayOneValue()
    {
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, written);
        const std::string page = LoginFormPage("http://g", value.toStdString(), value.toStdString());
        QVERIFY(page.find("name=\"login\" size=\"16\" VALUE = " + written.toStdString() + "></td>") !=
                std::string::npos);
        QVERIFY(page.find("type=\"password\" VALUE = " + written.toStdString() + "></td>") != std::string::npos);
        QVERIFY(page.find("<script>") == std::string::npos);
    }
};

QTEST_APPLESS_MAIN(TestLoginForm)
#include "tst_loginform.moc"
