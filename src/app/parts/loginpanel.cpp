#include "loginpanel.h"

#include "app/parts/controlnames.h"
#include "ui/prompts.h"
#include "ui/qtcodec.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace veldor {

LoginPanel::LoginPanel(Settings& settings, std::shared_ptr<UserPrompts> prompts, QWidget* parent)
    : QFrame(parent), m_settings(settings), m_prompts(std::move(prompts))
{
    setObjectName(QStringLiteral("loginPanel"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setFixedSize(265, 155);
    move(40, 40);
    Controls& c = m_controls;
    c.loginTitle = named(new QLabel(QStringLiteral("Параметры входа"), this), "loginTitle");
    c.loginTitle->setAlignment(Qt::AlignCenter);
    c.loginTitle->setFrameShape(QFrame::Panel);
    c.loginLabel = named(new QLabel(QStringLiteral("Логин:"), this), "loginLabel");
    c.loginEdit = named(new QLineEdit(this), "loginEdit");
    c.passwordLabel = named(new QLabel(QStringLiteral("Пароль:"), this), "passwordLabel");
    c.passwordEdit = named(new QLineEdit(this), "passwordEdit");
    c.passwordEdit->setEchoMode(QLineEdit::Password);
    c.autoLoginBox = named(new QCheckBox(QStringLiteral("Входить автоматически"), this), "autoLoginBox");
    c.loginOkButton = named(new QPushButton(QStringLiteral("ОК"), this), "loginOkButton");
    c.loginCancelButton = named(new QPushButton(QStringLiteral("Отмена"), this), "loginCancelButton");

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->addWidget(c.loginTitle, 0, 0, 1, 2);
    grid->addWidget(c.loginLabel, 1, 0);
    grid->addWidget(c.loginEdit, 1, 1);
    grid->addWidget(c.passwordLabel, 2, 0);
    grid->addWidget(c.passwordEdit, 2, 1);
    grid->addWidget(c.autoLoginBox, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(c.loginOkButton);
    buttons->addWidget(c.loginCancelButton);
    grid->addLayout(buttons, 4, 0, 1, 2);
    connect(c.loginOkButton, &QPushButton::clicked, this, &LoginPanel::accept);
    connect(c.loginCancelButton, &QPushButton::clicked, this, &LoginPanel::cancel);
    connect(c.autoLoginBox, &QCheckBox::clicked, this, &LoginPanel::autoLoginToggled);
    hide();
}

void LoginPanel::open()
{
    m_controls.loginEdit->setText(fromCp1251(m_settings.StoredLogin));
    m_controls.passwordEdit->setText(fromCp1251(m_settings.StoredPassword));
    m_controls.autoLoginBox->setChecked(m_settings.AutoLogin);
    if (parentWidget())
        move((parentWidget()->width() - width()) / 2, 40);
    show();
    raise();
    m_controls.loginEdit->setFocus();
}

void LoginPanel::accept()
{
    const auto tooLong = [](const QLineEdit* box) { return box->text().size() > qsizetype(kMaxCredential); };
    if (tooLong(m_controls.loginEdit) || tooLong(m_controls.passwordEdit)) {
        m_prompts->showError(window(),
                             QStringLiteral("Логин и пароль не могут быть длиннее %1 знаков.").arg(kMaxCredential));
        return; // the panel stays open with what was typed
    }
    m_settings.StoredLogin = toCp1251(m_controls.loginEdit->text());
    m_settings.StoredPassword = toCp1251(m_controls.passwordEdit->text());
    m_settings.AutoLogin = m_controls.autoLoginBox->isChecked();
    hide();
}

void LoginPanel::cancel()
{
    hide();
}

void LoginPanel::autoLoginToggled()
{
    m_settings.AutoLogin = m_controls.autoLoginBox->isChecked();
}

} // namespace veldor
