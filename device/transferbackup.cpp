#include "device/transferbackup.h"

#include "base/appidentity.h"
#include "files/presetfile.h"
#include "model/bankstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace TransferBackup {

QString defaultPath(const QDateTime &when)
{
    return QDir(AppIdentity::dataFolder())
        .filePath(
            QStringLiteral("module-backup-%1.pre").arg(when.toString(QStringLiteral("yyyyMMdd-HHmmss"))));
}

bool save(const TransferBanks &moduleBanks, const QString &fileName, QString &errorText)
{
    const QString folder = QFileInfo(fileName).absolutePath();
    if (!QDir().mkpath(folder)) {
        errorText = QCoreApplication::translate("TransferBackup", "Cannot make the folder %1.")
                        .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    BankStore store;
    store.fromDump(moduleBanks.data());
    return savePresetFile(store, fileName, 1, BankCount - 1, errorText);
}

QStringList nameChanges(const BankStore &store)
{
    QStringList lines;
    for (int b = FirstUserBank; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            const PresetRecord &record = store.at(b, p);
            PresetImage image{};
            recordToImage(record, image.data());
            PresetRecord kept;
            imageToRecord(image.data(), kept);
            auto note = [&](const char *text, const QString &was, const QString &now) {
                if (now != was)
                    lines << QCoreApplication::translate("TransferBackup", text)
                                 .arg(b + 1)
                                 .arg(p + 1)
                                 .arg(was, now);
            };
            note(QT_TRANSLATE_NOOP("TransferBackup", "Bank %1, preset %2: \"%3\" becomes \"%4\""),
                 record.name, kept.name);
            note(QT_TRANSLATE_NOOP("TransferBackup", "Bank %1, preset %2: author \"%3\" becomes \"%4\""),
                 record.author, kept.author);
        }
    return lines;
}

QStringList nameChanges(const BankStore &store, const TransferBanks &targets, const std::vector<int> &changes)
{
    QStringList lines;
    for (int position : changes) {
        const int b = position / PresetsPerBank;
        const int p = position % PresetsPerBank;
        const PresetRecord &record = store.at(b, p);
        PresetRecord kept;
        imageToRecord(targets.at(b, p).data(), kept);
        if (kept.name != record.name)
            lines << QCoreApplication::translate("TransferBackup",
                                                 "Bank %1, preset %2: \"%3\" becomes \"%4\"")
                         .arg(b + 1)
                         .arg(p + 1)
                         .arg(record.name, kept.name);
        if (kept.author != record.author)
            lines << QCoreApplication::translate("TransferBackup",
                                                 "Bank %1, preset %2: author \"%3\" becomes \"%4\"")
                         .arg(b + 1)
                         .arg(p + 1)
                         .arg(record.author, kept.author);
    }
    return lines;
}

} // namespace TransferBackup
