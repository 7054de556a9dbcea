// The login panel on its own: it shows the stored values, keeps what is typed on OK, nothing on Cancel, takes
// the automatic login at once, and refuses values the login form cannot take.
#include "app/parts/loginpanel.h"
#include "app/play/sessionkeeper.h"
#include "person.h"
#include "scriptedprompts.h"
#include "text/cp1251.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace veldor;
using namespace veldor::test;

class TestLoginPanel : public QObject
{
    Q_OBJECT

    // A window with the panel over its middle and the menu item that opens it, as in the main window.
    struct Shown
    {
        Settings settings;
        std::shared_ptr<ScriptedPrompts> prompts = std::make_shared<ScriptedPrompts>();
        std::unique_ptr<QMainWindow> window = std::make_unique<QMainWindow>();
        LoginPanel* panel = nullptr;

        explicit Shown(const Settings& stored) : settings(stored)
        {
            window->resize(600, 400 + window->menuBar()->sizeHint().height());
            auto* middle = new QWidget;
            window->setCentralWidget(middle);
            middle->setFixedSize(600, 400);
            panel = new LoginPanel(settings, prompts, middle);
            QMenu* extras = window->menuBar()->addMenu(QStringLiteral("Дополнительно"));
            QObject::connect(extras->addAction(QStringLiteral("Данные")), &QAction::triggered, panel,
                             &LoginPanel::open);
            window->show();
        }
        // Its controls, found by name as a person finds them by sight.
        struct Controls
        {
            QLineEdit* loginEdit;
            QLineEdit* passwordEdit;
            QCheckBox* autoLoginBox;
            QPushButton* loginOkButton;
            QPushButton* loginCancelButton;
        };
        Controls c() const
        {
            return {panel->findChild<QLineEdit*>(QStringLiteral("loginEdit")),
                    panel->findChild<QLineEdit*>(QStringLiteral("passwordEdit")),
                    panel->findChild<QCheckBox*>(QStringLiteral("autoLoginBox")),
                    panel->findChild<QPushButton*>(QStringLiteral("loginOkButton")),
                    panel->findChild<QPushButton*>(QStringLiteral("loginCancelButton"))};
        }
        bool opened()
        {
            if (!QTest::qWaitForWindowExposed(window.get()) || !person::activate(window.get()))
                return false;
            return person::chooseMenu(window->menuBar(), {QStringLiteral("Дополнительно"), QStringLiteral("Данные")}) &&
                   QTest::qWaitFor([this] { return panel->isVisible(); }, 3000);
        }
    };

    static Settings stored()
    {
        Settings s;
        s.StoredLogin = cp1251::fromUtf8(u8"Путник");
        s.StoredPassword = "secret";
        s.AutoLogin = true;
        return s;
    }

private slots:
    void opensWithTheStoredValuesAndTheLoginFocused()
    {
        Shown t(stored());
        QVERIFY(t.opened());
        QCOMPARE(t.c().loginEdit->text(), QStringLiteral("Путник"));
        QCOMPARE(t.c().passwordEdit->text(), QStringLiteral("secret"));
        QCOMPARE(t.c().passwordEdit->echoMode(), QLineEdit::Password);
        QVERIFY(t.c().autoLoginBox->isChecked());
        QTRY_COMPARE(person::focused(), t.c().loginEdit);
        QCOMPARE(t.panel->x(), (600 - t.panel->width()) / 2);
    }

    void okKeepsWhatWasTypedAndCancelNothing()
    {
        Shown t(stored());
        QVERIFY(t.opened());
        QVERIFY(person::typeInto(t.c().loginEdit, QStringLiteral("Ёжик")));
        QVERIFY(person::typeInto(t.c().passwordEdit, QStringLiteral("p@ss word")));
        person::click(t.c().loginCancelButton);
        QTRY_VERIFY(!t.panel->isVisible());
        QCOMPARE(t.settings.StoredLogin, cp1251::fromUtf8(u8"Путник"));

        QVERIFY(t.opened());
        QCOMPARE(t.c().loginEdit->text(), QStringLiteral("Путник")); // what was typed before is gone
        QVERIFY(person::typeInto(t.c().loginEdit, QStringLiteral("Ёжик")));
        QVERIFY(person::typeInto(t.c().passwordEdit, QStringLiteral("p@ss word")));
        person::click(t.c().loginOkButton);
        QTRY_VERIFY(!t.panel->isVisible());
        QCOMPARE(t.settings.StoredLogin, cp1251::fromUtf8(u8"Ёжик"));
        QCOMPARE(t.settings.StoredPassword, std::string("p@ss word"));
        QVERIFY(t.prompts->errors.isEmpty());
    }

    void theAutomaticLoginTakesEffectAtOnce()
    {
        Shown t(stored());
        QVERIFY(t.opened());
        person::click(t.c().autoLoginBox);
        QTRY_VERIFY(!t.settings.AutoLogin);
        person::click(t.c().loginCancelButton); // even Cancel keeps it
        QTRY_VERIFY(!t.panel->isVisible());
        QVERIFY(!t.settings.AutoLogin);
    }

    void tooLongAValueIsRefusedAndThePanelStays()
    {
        Shown t(stored());
        QVERIFY(t.opened());
        person::click(t.c().passwordEdit);
        QVERIFY(person::press(Qt::Key_A, Qt::ControlModifier));
        QVERIFY(person::type(QString(int(LoginPanel::kMaxCredential) + 1, QLatin1Char('x'))));
        person::click(t.c().loginOkButton);
        QTRY_COMPARE(t.prompts->errors.size(), 1);
        QVERIFY(t.prompts->errors[0].contains(QStringLiteral("255")));
        QVERIFY(t.panel->isVisible());
        QCOMPARE(t.c().passwordEdit->text().size(), qsizetype(LoginPanel::kMaxCredential) + 1);
        QCOMPARE(t.settings.StoredPassword, std::string("secret"));
    }

    // The session ended: a login at once, then at most one a gap; two that bring no game are said and not repeated
    // until the game shows again; nothing without automatic login.
    void theSessionIsRenewedAtMostOnceAGap()
    {
        bool can = true;
        int logins = 0;
        SessionKeeper keeper([&] { return can; }, [&] { ++logins; });
        keeper.setGap(100);
        QSignalSpy said(&keeper, &SessionKeeper::status);
        keeper.gameRead(true);
        keeper.gameRead(true); // the form again while the login is under way
        QCOMPARE(logins, 1);
        QTRY_COMPARE(logins, 2); // no game within the gap: tried again
        QTRY_COMPARE(keeper.failures(), 2);
        QVERIFY(said.last().at(0).toString().contains(QStringLiteral("не удалось два раза")));
        keeper.gameRead(true);
        QVERIFY(!keeper.scheduled()); // none waits to be made
        QCOMPARE(logins, 2);
        keeper.gameRead(false); // the player logged in by hand
        QCOMPARE(said.last().at(0).toString(), QString());
        keeper.gameRead(true);
        QCOMPARE(logins, 3);
        keeper.gameRead(false);
        keeper.gameRead(true); // within the gap of the last: waits for it
        QCOMPARE(logins, 3);
        QTRY_COMPARE(logins, 4);
        keeper.gameRead(false);
        can = false;
        keeper.gameRead(true);
        QVERIFY(!keeper.scheduled());
        QCOMPARE(logins, 4);
    }

    // The game coming back between attempts does not make them unbounded: five an hour, then the player is told.
    void sessionRenewalsAreBoundedPerHour()
    {
        int logins = 0;
        SessionKeeper keeper([] { return true; }, [&] { ++logins; });
        keeper.setGap(10);
        keeper.setHour(60000);
        QSignalSpy said(&keeper, &SessionKeeper::status);
        for (int i = 0; i < 8; ++i) {
            keeper.gameRead(false);
            QTest::qWait(15);
            keeper.gameRead(true);
        }
        QCOMPARE(logins, SessionKeeper::kPerHour);
        QVERIFY(said.last().at(0).toString().contains(QStringLiteral("раз за час")));
        keeper.setHour(1); // the hour went by
        QTest::qWait(5);
        keeper.gameRead(false);
        keeper.gameRead(true);
        QCOMPARE(logins, SessionKeeper::kPerHour + 1);
    }
};

QTEST_MAIN(TestLoginPanel)
#include "tst_loginpanel.moc"
