#pragma once

// Running the main window without a person at the screen: scripted answers
// to its questions and file dialogs, a private settings folder, and copies
// of the example projects.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "editor/Forms.h"
#include "ScriptedPrompts.h"

namespace stelmar::test {

// One run of the program: settings in a fresh folder, files in another.
class Session {
public:
    Session()
    {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        qputenv("XDG_STATE_HOME", state_.path().toUtf8());
    }

    QString ConfigFile(const QString& name) const { return config_.path() + "/stelmar/" + name; }
    QString File(const QString& name) const { return files_.path() + "/" + name; }

    // A copy of an example project in the files folder.
    QString CopyExample(const QString& example, const QString& name)
    {
        const QString path = File(name);
        QFile::copy(QString(STELMAR_EXAMPLES_DIR) + "/" + example, path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

    void WriteFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void WriteConfig(const QString& name, const QByteArray& bytes)
    {
        QDir().mkpath(config_.path() + "/stelmar");
        WriteFile(ConfigFile(name), bytes);
    }

    // Creates the window and the dialogs, shows the window and waits for
    // its start work.
    TF& Start(const QString& project = QString())
    {
        window_ = CreateForms(project, prompts_);
        window_->show();
        if (!QTest::qWaitFor([this] { return window_->StartDone(); })) qFatal("the main window did not start");
        return *window_;
    }

    TF& Window() { return *window_; }
    // The answers may be set before Start, for the questions of the start.
    ScriptedPrompts& Prompts() { return *prompts_; }

    QAction* Action(const char* name) { return window_->findChild<QAction*>(name); }
    QString Panel(int i) { return window_->findChild<QLabel*>(QString("StatusPanel%1").arg(i))->text(); }
    // Whether the command, submenu or control of that name can be used.
    bool Enabled(const char* name)
    {
        if (QAction* action = Action(name)) return action->isEnabled();
        if (auto* menu = window_->findChild<QMenu*>(name)) return menu->menuAction()->isEnabled();
        return window_->findChild<QWidget*>(name)->isEnabled();
    }

private:
    QTemporaryDir config_;
    QTemporaryDir state_;
    QTemporaryDir files_;
    std::unique_ptr<TF> window_;
    std::shared_ptr<ScriptedPrompts> prompts_ = std::make_shared<ScriptedPrompts>();
};

}  // namespace stelmar::test
