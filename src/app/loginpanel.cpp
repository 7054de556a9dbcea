#include "loginpanel.h"

#include "ui/prompts.h"
#include "ui/qtcodec.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace veldor {
namespace {

template <class W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

LoginPanel::LoginPanel(Settings& settings, std::shared_ptr<UserPrompts> prompts, QWidget* parent)
    : QFrame(parent), m_settings(settings), m_prompts(std::move(prompts))
{
    setObjectName(QStringLiteral("Panel2"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setFixedSize(265, 155);
    move(40, 40);
    Controls& c = m_controls;
    c.Panel7 = named(new QLabel(QStringLiteral("Параметры входа"), this), "Panel7");
    c.Panel7->setAlignment(Qt::AlignCenter);
    c.Panel7->setFrameShape(QFrame::Panel);
    c.Label6 = named(new QLabel(QStringLiteral("Логин:"), this), "Label6");
    c.Edit1 = named(new QLineEdit(this), "Edit1");
    c.Label16 = named(new QLabel(QStringLiteral("Пароль:"), this), "Label16");
    c.Edit2 = named(new QLineEdit(this), "Edit2");
    c.Edit2->setEchoMode(QLineEdit::Password);
    c.CheckBox6 = named(new QCheckBox(QStringLiteral("Входить автоматически"), this), "CheckBox6");
    c.Button16 = named(new QPushButton(QStringLiteral("ОК"), this), "Button16");
    c.Button17 = named(new QPushButton(QStringLiteral("Отмена"), this), "Button17");

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->addWidget(c.Panel7, 0, 0, 1, 2);
    grid->addWidget(c.Label6, 1, 0);
    grid->addWidget(c.Edit1, 1, 1);
    grid->addWidget(c.Label16, 2, 0);
    grid->addWidget(c.Edit2, 2, 1);
    grid->addWidget(c.CheckBox6, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(c.Button16);
    buttons->addWidget(c.Button17);
    grid->addLayout(buttons, 4, 0, 1, 2);
    hide();
}

void LoginPanel::open()
{
    m_controls.Edit1->setText(fromCp1251(m_settings.StoredLogin));
    m_controls.Edit2->setText(fromCp1251(m_settings.StoredPassword));
    m_controls.CheckBox6->setChecked(m_settings.AutoLogin);
    if (parentWidget())
        move((parentWidget()->width() - width()) / 2, 40);
    show();
    raise();
    m_controls.Edit1->setFocus();
}

void LoginPanel::accept()
{
    const auto tooLong = [](const QLineEdit* box) { return box->text().size() > qsizetype(kMaxCredential); };
    if (tooLong(m_controls.Edit1) || tooLong(m_controls.Edit2)) {
        m_prompts->showError(window(),
                             QStringLiteral("Логин и пароль не могут быть длиннее %1 знаков.").arg(kMaxCredential));
        return; // the panel stays open with what was typed
    }
    m_settings.StoredLogin = toCp1251(m_controls.Edit1->text());
    m_settings.StoredPassword = toCp1251(m_controls.Edit2->text());
    m_settings.AutoLogin = m_controls.CheckBox6->isChecked();
    hide();
}

void LoginPanel::cancel()
{
    hide();
}

void LoginPanel::autoLoginToggled()
{
    m_settings.AutoLogin = m_controls.CheckBox6->isChecked();
}

} // namespace veldor
