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

    void sentOnlyWithAutoLoginAPasswordAndFittingCredentials_data()
    {
        QTest::addColumn<int>("loginLength");
        QTest::addColumn<int>("passwordLength");
        QTest::addColumn<bool>("autoLogin");
        QTest::addColumn<bool>("submit");
        QTest::addColumn<bool>("tooLong");
        QTest::newRow("auto") << 4 << 2 << true << true << false;
        QTest::newRow("manual") << 4 << 2 << false << false << false;
        QTest::newRow("no password") << 4 << 0 << true << false << false;
        QTest::newRow("longest") << 255 << 255 << true << true << false;
        QTest::newRow("login too long") << 256 << 2 << true << false << true;
        QTest::newRow("password too long") << 4 << 256 << true << false << true;
    }
    void sentOnlyWithAutoLoginAPasswordAndFittingCredentials()
    {
        QFETCH(int, loginLength);
        QFETCH(int, passwordLength);
        QFETCH(bool, autoLogin);
        const std::string login(static_cast<std::size_t>(loginLength), 'l');
        const LoginForm form =
            LoginFormFor("http://g", login, std::string(std::size_t(passwordLength), 'p'), autoLogin);
        QTEST(form.submit, "submit");
        QTEST(form.tooLong, "tooLong");
        QCOMPARE(form.page.find("VALUE = \"" + login + '"') != std::string::npos, !form.tooLong); // empty when too long
    }

    // The game frame after the session ended: the game's login form, however it is written.
    void theLoginFormIsRecognised_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<bool>("login");
        QTest::newRow("the game's form") << "<FORM method=post action=\"/login.php\"><input name=\"login\">\n"
                                            "<INPUT type=password name=password></form>"
                                         << true;
        QTest::newRow("our own form") << QString::fromStdString(LoginFormPage("http://g", "a", "b")) << true;
        QTest::newRow("no password field") << "<form action=\"/login.php\"><input name=\"login\"></form>" << false;
        QTest::newRow("another form") << "<form action=\"/move.php\"><input name='password'></form>" << false;
        QTest::newRow("a game page") << "<div>Уровень: 0</div><a href=\"/login.php\">выход</a>" << false;
    }
    void theLoginFormIsRecognised()
    {
        QFETCH(QString, markup);
        QTEST(ShowsLoginForm({markup.toStdString()}), "login");
    }
};

QTEST_APPLESS_MAIN(TestLoginForm)
#include "tst_loginform.moc"
