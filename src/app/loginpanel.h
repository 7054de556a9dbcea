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

    // Its controls, by their layout names.
    struct Controls
    {
        QLabel* Panel7 = nullptr;        // "Параметры входа": the caption
        QLabel* Label6 = nullptr;        // "Логин:"
        QLineEdit* Edit1 = nullptr;      // the login
        QLabel* Label16 = nullptr;       // "Пароль:"
        QLineEdit* Edit2 = nullptr;      // the password, hidden
        QCheckBox* CheckBox6 = nullptr;  // "Входить автоматически": takes effect at once
        QPushButton* Button16 = nullptr; // "ОК": keep what was typed
        QPushButton* Button17 = nullptr; // "Отмена": close, keep nothing typed
    };

    LoginPanel(Settings& settings, std::shared_ptr<UserPrompts> prompts, QWidget* parent);
    const Controls& controls() const { return m_controls; }

    // Shows the stored values, centred near the top of the parent, with the login box focused.
    void open();
    // Keeps the typed values and closes; too long a value is refused with a message and the panel stays.
    void accept();
    void cancel();
    void autoLoginToggled();

private:
    Settings& m_settings;
    std::shared_ptr<UserPrompts> m_prompts;
    Controls m_controls;
};

} // namespace veldor
