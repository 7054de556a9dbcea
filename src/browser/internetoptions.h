#pragma once

#include <QDialog>

class QLabel;
class QWebEngineProfile;

namespace veldor {

// "Свойства обозревателя": the browser's own settings that a player needs — cookies, cache, pictures, scripts.
class InternetOptionsDialog : public QDialog
{
    Q_OBJECT
public:
    InternetOptionsDialog(QWebEngineProfile* profile, QWidget* parent = nullptr);

private:
    QLabel* m_status;
};

} // namespace veldor
