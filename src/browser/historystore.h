#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <vector>

namespace veldor {

// Pages visited in any tab, grouped by day, then by site. Kept in a small SQLite database: a visit is one
// row written, whatever the history holds, and the menus ask for one day or one site at a time.
class HistoryStore
{
public:
    struct Visit
    {
        QDateTime when;
        QString url;
        QString title;
    };

    // `database` is created when missing. A history file of an earlier version (`legacyFile`, lines of
    // time, address and title separated by tabs) is imported once and then removed.
    explicit HistoryStore(const QString& database, const QString& legacyFile = {});
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    void add(const QString& url, const QString& title, const QDateTime& when = QDateTime::currentDateTime());
    // Every visit kept, oldest first.
    std::vector<Visit> visits() const;

    // Days, newest first; the sites of a day in the order first visited; the pages of a site (newest visit
    // each, by address).
    std::vector<QDate> days() const;
    std::vector<QString> sites(const QDate& day) const;
    std::vector<Visit> pages(const QDate& day, const QString& site) const;

    static constexpr int kKeepDays = 20;

private:
    void importLegacy(const QString& file);
    void forgetOldDays();
    QString m_connection;
    bool m_open = false;
};

} // namespace veldor
