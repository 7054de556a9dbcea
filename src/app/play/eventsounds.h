#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QSoundEffect;

namespace veldor {

// Event sounds, played by bare file name from the working folder. A missing file or a machine without sound
// plays nothing and says nothing.
class EventSounds : public QObject
{
    Q_OBJECT
public:
    EventSounds(const QString& folder, QObject* parent = nullptr);
    void play(const QString& fileName);

signals:
    // Every request, whether or not there was anything to play.
    void requested(const QString& fileName);

private:
    QString m_folder;
    QHash<QString, QSoundEffect*> m_effects;
};

} // namespace veldor
