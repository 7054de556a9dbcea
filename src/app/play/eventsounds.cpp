#include "eventsounds.h"

#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace veldor {

EventSounds::EventSounds(const QString& folder, QObject* parent) : QObject(parent), m_folder(folder) {}

void EventSounds::play(const QString& fileName)
{
    emit requested(fileName);
    const QString path = QDir(m_folder).filePath(fileName);
    if (!QFileInfo::exists(path))
        return;
    QSoundEffect*& effect = m_effects[fileName];
    if (!effect)
        effect = new QSoundEffect(this);
    // Taken from the folder at play time, so a file replaced during the run is heard as it is now.
    effect->setSource(QUrl());
    effect->setSource(QUrl::fromLocalFile(path));
    effect->play();
}

} // namespace veldor
