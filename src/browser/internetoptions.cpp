#include "internetoptions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace veldor {

InternetOptionsDialog::InternetOptionsDialog(QWebEngineProfile* profile, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("InternetOptions"));
    setWindowTitle(QStringLiteral("Свойства обозревателя"));
    auto* layout = new QVBoxLayout(this);
    auto* cookies = new QPushButton(QStringLiteral("Удалить cookies (потребуется войти в игру заново)"), this);
    cookies->setObjectName(QStringLiteral("DeleteCookies"));
    auto* cache = new QPushButton(QStringLiteral("Очистить кэш"), this);
    cache->setObjectName(QStringLiteral("ClearCache"));
    auto* images = new QCheckBox(QStringLiteral("Показывать картинки"), this);
    images->setObjectName(QStringLiteral("AutoLoadImages"));
    images->setChecked(profile->settings()->testAttribute(QWebEngineSettings::AutoLoadImages));
    auto* scripts = new QCheckBox(QStringLiteral("Выполнять сценарии (нужно для игры)"), this);
    scripts->setObjectName(QStringLiteral("JavascriptEnabled"));
    scripts->setChecked(profile->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled));
    m_status = new QLabel(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    for (QWidget* w : std::initializer_list<QWidget*>{cookies, cache, images, scripts, m_status, buttons})
        layout->addWidget(w);
    connect(cookies, &QPushButton::clicked, this, [this, profile] {
        profile->cookieStore()->deleteAllCookies();
        m_status->setText(QStringLiteral("Cookies удалены."));
    });
    connect(cache, &QPushButton::clicked, this, [this, profile] {
        profile->clearHttpCache();
        m_status->setText(QStringLiteral("Кэш очищен."));
    });
    connect(images, &QCheckBox::toggled, this,
            [profile](bool on) { profile->settings()->setAttribute(QWebEngineSettings::AutoLoadImages, on); });
    connect(scripts, &QCheckBox::toggled, this,
            [profile](bool on) { profile->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, on); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

} // namespace veldor
