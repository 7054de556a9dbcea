#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QPainter;
class QRect;
class QWidget;

namespace veldor {

class Atlas;
class LevelLinks;
class MapEdits;
class MapGrid;
class UserPrompts;

// The File menu's commands for passing maps between players: take another player's maps into ours, write
// ours into a folder of the user's choice, and save the shown level as a picture.
class AtlasSharing : public QObject
{
    Q_OBJECT
public:
    struct Window
    {
        QWidget* window = nullptr;
        Atlas* atlas = nullptr;
        std::shared_ptr<UserPrompts> prompts;
        QString workFolder;
        const MapGrid* grid = nullptr;
        // Paints a cell of the map alone, without the player and the ways drawn over it.
        std::function<void(QPainter&, int col, int row, const QRect&)> mapCell;
        std::function<unsigned()> lab; // the labyrinth shown
        std::function<int()> level;    // the level shown
        // The atlas took in cells or list entries of any labyrinth.
        std::function<void()> atlasChanged;
        // Another window saves this folder's maps: this one cannot.
        std::function<bool()> readOnly;
        // The undo history a merge is recorded in (none: not recorded).
        MapEdits* edits = nullptr;
        // Where the ways down and up lead: written out with the maps, and another player's taken in.
        LevelLinks* links = nullptr;
    };

    explicit AtlasSharing(Window window, QObject* parent = nullptr);

    // "Объединить с картами из папки...".
    void mergeFromFolder();
    // "Экспорт карт в папку..."; true when the maps were written.
    bool exportToFolder();
    // "Сохранить уровень как рисунок...".
    void saveLevelPicture();

private:
    // Asks for a folder, offering the one this command last went to; empty when cancelled, missing or the
    // working folder itself (`ownFolder` says why, with %1 for the folder).
    QString pickFolder(const QString& caption, QString& remembered, const QString& ownFolder,
                       const QStringList& lookFor = {});

    Window m_w;
    // Each command offers its own last folder again: an export never starts in the folder merged from.
    QString m_mergeFolder;
    QString m_exportFolder;
    QString m_pictureFolder;
};

} // namespace veldor
