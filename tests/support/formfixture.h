#pragma once

// A main window in fresh temporary folders (working folder and browser profile) with scripted dialogs.
#include "app/tform1.h"
#include "scriptedprompts.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace veldor::test {

class FormFixture
{
public:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QTemporaryDir> profile;
    std::shared_ptr<ScriptedPrompts> prompts;

    void reset()
    {
        dir = std::make_unique<QTemporaryDir>();
        profile = std::make_unique<QTemporaryDir>();
        prompts = std::make_shared<ScriptedPrompts>();
    }

    QString file(const char* name) const { return dir->filePath(QString::fromLatin1(name)); }
    bool writeUserDat(const QByteArray& text) const { return writeAll(file("user.dat"), text); }

    std::unique_ptr<TForm1> make(const QString& gameServer, const QString& folder = {}) const
    {
        TForm1Options o;
        o.workFolder = folder.isEmpty() ? dir->path() : folder;
        o.gameServer = gameServer;
        o.profileFolder = profile->path();
        o.prompts = prompts;
        return std::make_unique<TForm1>(o);
    }

    // Shown and exposed, or nothing when the window never appeared.
    std::unique_ptr<TForm1> shown(const QString& gameServer, QSize size = {}) const
    {
        auto form = make(gameServer);
        if (size.isValid())
            form->resize(size);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            return nullptr;
        return form;
    }
};

} // namespace veldor::test
