#pragma once

// Syncthing instances started by a test, each keeping one copy of a shared folder in step with the others: on
// 127.0.0.1 only, with global and local discovery, relays, NAT traversal, STUN, usage and crash reports and
// upgrade checks all off, so that nothing ever leaves the machine. Stopped by their process ids.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTcpServer>
#include <csignal>
#include <memory>
#include <vector>

namespace veldor::test {

class SyncthingGroup
{
public:
    // Whether Debian's syncthing is there to run.
    static bool available() { return !QStandardPaths::findExecutable(QStringLiteral("syncthing")).isEmpty(); }

    // One instance a folder, under `base`; the folders are one shared folder, watched with a 1 s delay.
    bool start(const QString& base, const QStringList& folders)
    {
        for (int i = 0; i < folders.size(); ++i) {
            Instance in;
            in.home = QDir(base).filePath(QStringLiteral("syncthing-%1").arg(i));
            in.folder = folders[i];
            in.port = freePort();
            in.guiPort = freePort();
            if (!generate(in))
                return false;
            m_instances.push_back(in);
        }
        for (const Instance& in : m_instances)
            if (!configure(in))
                return false;
        for (Instance& in : m_instances) {
            auto* process = new QProcess;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("STNOUPGRADE"), QStringLiteral("1"));
            env.insert(QStringLiteral("STNORESTART"), QStringLiteral("1"));
            env.insert(QStringLiteral("STNODEFAULTFOLDER"), QStringLiteral("1"));
            process->setProcessEnvironment(env);
            process->setProcessChannelMode(QProcess::MergedChannels);
            process->setStandardOutputFile(in.home + QStringLiteral("/log.txt"));
            process->start(QStringLiteral("syncthing"), {QStringLiteral("serve"), QStringLiteral("--home=") + in.home,
                                                         QStringLiteral("--no-browser"), QStringLiteral("--no-restart"),
                                                         QStringLiteral("--no-upgrade")});
            if (!process->waitForStarted(5000))
                return false;
            in.pid = process->processId();
            m_processes.emplace_back(process);
        }
        return true;
    }

    ~SyncthingGroup()
    {
        for (std::size_t i = 0; i < m_processes.size(); ++i) {
            const auto pid = static_cast<pid_t>(m_instances[i].pid);
            ::kill(pid, SIGTERM);
            if (!m_processes[i]->waitForFinished(5000)) {
                ::kill(pid, SIGKILL);
                m_processes[i]->waitForFinished(2000);
            }
        }
    }

    QString log(int i) const
    {
        QFile file(m_instances[static_cast<std::size_t>(i)].home + QStringLiteral("/log.txt"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private:
    struct Instance
    {
        QString home;
        QString folder;
        QString id;
        int port = 0;
        int guiPort = 0;
        qint64 pid = 0;
    };

    static int freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

    static bool generate(Instance& in)
    {
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QStringLiteral("syncthing"),
                  {QStringLiteral("generate"), QStringLiteral("--home=") + in.home,
                   QStringLiteral("--no-default-folder"), QStringLiteral("--skip-port-probing")});
        if (!run.waitForFinished(30000) || run.exitCode() != 0)
            return false;
        const auto match =
            QRegularExpression(QStringLiteral("Device ID: ([A-Z0-9-]+)")).match(QString::fromUtf8(run.readAll()));
        in.id = match.captured(1);
        return !in.id.isEmpty();
    }

    // The generated configuration with the outward features off, the others as devices and the shared folder.
    bool configure(const Instance& in) const
    {
        QFile file(in.home + QStringLiteral("/config.xml"));
        if (!file.open(QIODevice::ReadOnly))
            return false;
        QString xml = QString::fromUtf8(file.readAll());
        file.close();
        const std::pair<const char*, QString> options[] = {
            {"listenAddress", QStringLiteral("tcp://127.0.0.1:%1").arg(in.port)},
            {"globalAnnounceServer", QString()},
            {"globalAnnounceEnabled", QStringLiteral("false")},
            {"localAnnounceEnabled", QStringLiteral("false")},
            {"relaysEnabled", QStringLiteral("false")},
            {"natEnabled", QStringLiteral("false")},
            {"startBrowser", QStringLiteral("false")},
            {"urAccepted", QStringLiteral("-1")},
            {"autoUpgradeIntervalH", QStringLiteral("0")},
            {"crashReportingEnabled", QStringLiteral("false")},
            {"stunKeepaliveStartS", QStringLiteral("0")},
            {"stunServer", QString()},
            {"announceLANAddresses", QStringLiteral("false")},
        };
        for (const auto& [name, value] : options) {
            const QString tag = QString::fromLatin1(name);
            const QRegularExpression element(QStringLiteral("<%1>[^<]*</%1>").arg(tag));
            if (!xml.contains(element))
                return false;
            xml.replace(element, QStringLiteral("<%1>%2</%1>").arg(tag, value));
        }
        const QString guiAddress = QStringLiteral("<address>127.0.0.1:8384</address>");
        if (!xml.contains(guiAddress))
            return false;
        xml.replace(guiAddress, QStringLiteral("<address>127.0.0.1:%1</address>").arg(in.guiPort));
        QString added =
            QStringLiteral("    <folder id=\"veldor-group\" label=\"group\" path=\"%1\" type=\"sendreceive\" "
                           "rescanIntervalS=\"60\" fsWatcherEnabled=\"true\" fsWatcherDelayS=\"1\">\n")
                .arg(in.folder);
        for (const Instance& other : m_instances)
            added += QStringLiteral("        <device id=\"%1\"></device>\n").arg(other.id);
        added += QStringLiteral("        <minDiskFree unit=\"%\">0</minDiskFree>\n    </folder>\n");
        for (const Instance& other : m_instances)
            if (other.id != in.id)
                added += QStringLiteral("    <device id=\"%1\" name=\"peer\" compression=\"metadata\">\n"
                                        "        <address>tcp://127.0.0.1:%2</address>\n    </device>\n")
                             .arg(other.id)
                             .arg(other.port);
        const qsizetype gui = xml.indexOf(QStringLiteral("    <gui"));
        if (gui < 0)
            return false;
        xml.insert(gui, added);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        return file.write(xml.toUtf8()) > 0;
    }

    std::vector<Instance> m_instances;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

} // namespace veldor::test
