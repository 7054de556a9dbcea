// What closing asks and leaves on disk, for a folder this window owns and for one another window holds.
#include "app/folder/workfolder.h"
#include "map/atlas.h"
#include "scriptedprompts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace veldor;
using namespace veldor::test;
using Answer = UserPrompts::Answer;

class TestWorkFolder : public QObject
{
    Q_OBJECT

private slots:
    // Closing without saving leaves the journal for the next start; "Да" and "Нет" end it.
    void theJournalOutlivesOnlyACancelledClose_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("restoreOffered");
        QTest::newRow("yes") << Answer::Yes << false;
        QTest::newRow("no") << Answer::No << false;
        QTest::newRow("cancel") << Answer::Cancel << true;
    }
    void theJournalOutlivesOnlyACancelledClose()
    {
        QFETCH(Answer, answer);
        QTemporaryDir dir;
        auto prompts = std::make_shared<ScriptedPrompts>();
        auto atlas = std::make_unique<Atlas>();
        WorkFolder folder(dir.path(), *atlas, prompts, nullptr);
        QVERIFY(folder.lock());
        folder.loadMaps();
        atlas->cell(2, 0, 3, 4)->Explored = 1;
        folder.changed(2);
        prompts->answers = {answer};
        folder.mayClose({}, [] { return false; });
        WorkFolder next(dir.path(), *atlas, prompts, nullptr);
        next.loadMaps();
        QTEST(prompts->questions.size() == 2, "restoreOffered");
    }

    void aReadOnlyFolderNeverSaves()
    {
        QTemporaryDir dir;
        auto atlas = std::make_unique<Atlas>();
        auto prompts = std::make_shared<ScriptedPrompts>();
        WorkFolder owner(dir.path(), *atlas, prompts, nullptr);
        WorkFolder second(dir.path(), *atlas, prompts, nullptr);
        prompts->choices = {0}; // "Только для чтения"
        QVERIFY(owner.lock() && second.lock() && second.readOnly());
        QVERIFY(!second.saveMaps());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("map1.map"))));
    }
};

QTEST_GUILESS_MAIN(TestWorkFolder)
#include "tst_workfolder.moc"
