#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// The files last opened or saved, newest first, kept in the setting "recentfiles" for the
// Load button's list. Widget-free, so the rules are tested without a window.
class RecentFiles
{
public:
    static constexpr int MaxFiles = 8;

    explicit RecentFiles(QSettings &settings) : settings(settings) {}

    // Newest first, at most MaxFiles, each once (by absolute, cleaned path).
    QStringList files() const;
    // `fileName` was opened or saved: it moves (or comes) to the front.
    void add(const QString &fileName);
    void remove(const QString &fileName);
    void clear();

    // The list with `fileName` put in front: the rule add() keeps.
    static QStringList withFile(const QStringList &files, const QString &fileName);

private:
    static QString normalised(const QString &fileName);
    QSettings &settings;
};
