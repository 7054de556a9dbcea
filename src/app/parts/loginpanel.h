#pragma once

#include "settings/loginform.h"
#include "settings/settings.h"

#include <QFrame>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace veldor {

class UserPrompts;

// The login box that floats over the browser: it shows the stored login, password and automatic login when
// opened and writes them back into the settings on OK (user.dat itself is written at close).
class LoginPanel : public QFrame
{
    Q_OBJECT
public:
    // The longest login or password the login form takes.
    static constexpr std::size_t kMaxCredential = veldor::kMaxCredential;

    LoginPanel(Settings& settings, std::shared_ptr<UserPrompts> prompts, QWidget* parent);

    // Shows the stored values, centred near the top of the parent, with the login box focused.
    void open();
    // Keeps the typed values and closes; too long a value is refused with a message and the panel stays.
    void accept();
    void cancel();
    void autoLoginToggled();

private:
    struct Controls
    {
        QLabel* loginTitle = nullptr;             // "Параметры входа": the caption
        QLabel* loginLabel = nullptr;             // "Логин:"
        QLineEdit* loginEdit = nullptr;           // the login
        QLabel* passwordLabel = nullptr;          // "Пароль:"
        QLineEdit* passwordEdit = nullptr;        // the password, hidden
        QCheckBox* autoLoginBox = nullptr;        // "Входить автоматически": takes effect at once
        QPushButton* loginOkButton = nullptr;     // "ОК": keep what was typed
        QPushButton* loginCancelButton = nullptr; // "Отмена": close, keep nothing typed
    };

    Settings& m_settings;
    std::shared_ptr<UserPrompts> m_prompts;
    Controls m_controls;
};

} // namespace veldor
