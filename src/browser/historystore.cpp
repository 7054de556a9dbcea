#include "historystore.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>
#include <QUrl>
#include <QVariant>

namespace veldor {
namespace {

QString siteOf(const QString& address)
{
    const QUrl url(address);
    return url.host().isEmpty() ? url.scheme() : url.host();
}

} // namespace

HistoryStore::HistoryStore(const QString& database, const QString& legacyFile)
    : m_connection(QStringLiteral("veldor-history-%1").arg(reinterpret_cast<quintptr>(this)))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(database);
    // History is a convenience: a store that cannot open records nothing and costs nothing else.
    m_open = db.open();
    if (!m_open)
        return;
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS visits (id INTEGER PRIMARY KEY, at INTEGER NOT NULL, "
                          "day TEXT NOT NULL, site TEXT NOT NULL, url TEXT NOT NULL, title TEXT NOT NULL)"));
    q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS visits_by_day_site ON visits(day, site)"));
    q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS visits_by_time ON visits(at)"));
    forgetOldDays();
    if (!legacyFile.isEmpty() && QFile::exists(legacyFile))
        importLegacy(legacyFile);
}

HistoryStore::~HistoryStore()
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

void HistoryStore::importLegacy(const QString& file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return;
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    db.transaction();
    QTextStream s(&in);
    const QDateTime oldest = QDateTime::currentDateTime().addDays(-kKeepDays);
    while (!s.atEnd()) {
        const QStringList parts = s.readLine().split(QLatin1Char('\t'));
        if (parts.size() < 3)
            continue;
        const QDateTime when = QDateTime::fromString(parts[0], Qt::ISODate);
        if (when.isValid() && !parts[1].isEmpty() && when >= oldest)
            add(parts[1], parts[2], when);
    }
    if (db.commit())
        QFile::remove(file); // imported once: its visits live in the database now
}

void HistoryStore::add(const QString& url, const QString& title, const QDateTime& when)
{
    if (!m_open)
        return;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("INSERT INTO visits (at, day, site, url, title) VALUES (?, ?, ?, ?, ?)"));
    q.addBindValue(when.toMSecsSinceEpoch());
    q.addBindValue(when.date().toString(Qt::ISODate));
    q.addBindValue(siteOf(url));
    q.addBindValue(url);
    q.addBindValue(title);
    q.exec();
    forgetOldDays();
}

void HistoryStore::forgetOldDays()
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("DELETE FROM visits WHERE at < ?"));
    q.addBindValue(QDateTime::currentDateTime().addDays(-kKeepDays).toMSecsSinceEpoch());
    q.exec();
}

std::vector<HistoryStore::Visit> HistoryStore::visits() const
{
    std::vector<Visit> result;
    if (!m_open)
        return result;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.exec(QStringLiteral("SELECT at, url, title FROM visits ORDER BY at, id"));
    while (q.next())
        result.push_back(
            {QDateTime::fromMSecsSinceEpoch(q.value(0).toLongLong()), q.value(1).toString(), q.value(2).toString()});
    return result;
}

std::vector<QDate> HistoryStore::days() const
{
    std::vector<QDate> result;
    if (!m_open)
        return result;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.exec(QStringLiteral("SELECT DISTINCT day FROM visits ORDER BY day DESC"));
    while (q.next())
        result.push_back(QDate::fromString(q.value(0).toString(), Qt::ISODate));
    return result;
}

std::vector<QString> HistoryStore::sites(const QDate& day) const
{
    std::vector<QString> result;
    if (!m_open)
        return result;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT site FROM visits WHERE day = ? GROUP BY site ORDER BY MIN(at), MIN(id)"));
    q.addBindValue(day.toString(Qt::ISODate));
    q.exec();
    while (q.next())
        result.push_back(q.value(0).toString());
    return result;
}

std::vector<HistoryStore::Visit> HistoryStore::pages(const QDate& day, const QString& site) const
{
    std::vector<Visit> result;
    if (!m_open)
        return result;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    // The newest visit of each address; the title is the one of that visit.
    q.prepare(QStringLiteral("SELECT v.at, v.url, v.title FROM visits v WHERE v.day = ? AND v.site = ? AND v.id = "
                             "(SELECT w.id FROM visits w WHERE w.day = v.day AND w.site = v.site AND w.url = v.url "
                             "ORDER BY w.at DESC, w.id DESC LIMIT 1) ORDER BY v.url"));
    q.addBindValue(day.toString(Qt::ISODate));
    q.addBindValue(site);
    q.exec();
    while (q.next())
        result.push_back(
            {QDateTime::fromMSecsSinceEpoch(q.value(0).toLongLong()), q.value(1).toString(), q.value(2).toString()});
    return result;
}

} // namespace veldor
