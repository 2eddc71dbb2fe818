// SPDX-License-Identifier: GPL-3.0-or-later
#include "reference_copies.h"

#include "errors.h"
#include "folder_lock.h"
#include "game_file_reading.h"
#include "game_paths.h"
#include "replacement_file.h"
#include "text_buffer.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstring>
#include <optional>

namespace {

// The demo game's copies (sample/original.general and sample/original.pedsettings), which
// installations used to copy into every working folder. They are known by size and
// SHA-256 rather than shipped.
struct DemoCopy {
    qint64 size;
    const char* sha256;
};

constexpr DemoCopy DemoGeneral{15340,
                               "9213bd76e0244177ec93f40201bd97a460084c8c5462b82c265d88f4cc2462b7"};
constexpr DemoCopy DemoSettings{30304,
                                "cec7f3e307e025e378400bc422a9770bba0a49cdd021d4637fe636c9a585eb06"};

bool IsDemoCopy(TuningFile file, const std::string& bytes)
{
    const DemoCopy& demo = file == TuningFile::General ? DemoGeneral : DemoSettings;
    return static_cast<qint64>(bytes.size()) == demo.size && Sha256Hex(bytes) == demo.sha256;
}

// Beside each copy Tunedeck kept of the player's own files, a stamp holding the copy's
// SHA-256: such a copy stays the player's even when its bytes are the demo's. A stamp that
// names other bytes (the copy was replaced since) counts for nothing.
QString StampPath(const QString& copyPath)
{
    return copyPath + QStringLiteral(".kept");
}

bool KeptAsOwn(const QString& copyPath, const std::string& copy)
{
    // Read only as a small regular file: a link is not followed, a FIFO not waited on.
    std::string stamp;
    return ReadSmallFile(StampPath(copyPath), 256, stamp) == SmallFileRead::Read &&
           QByteArray::fromStdString(stamp).trimmed() == Sha256Hex(copy);
}

} // namespace

const char* GameFileName(TuningFile file)
{
    return file == TuningFile::General ? "General.txt" : "Settings.txt";
}

ReferenceCopyPlan PlanReferenceCopy(const AppState& state, TuningFile file, const QString& gamePath)
{
    ReferenceCopyPlan plan;
    plan.file = file;
    plan.gamePath = gamePath;
    plan.copyPath = state.workFile(QLatin1String(ReferenceCopy(file)));
    const std::optional<std::string> game = ReadBytesFrom(gamePath);
    if (game) {
        plan.bytes = *game;
        plan.accepted =
            static_cast<int>(SplitGameFile(file, plan.bytes).size()) == LineCountOf(file);
    }
    if (FileExists(plan.copyPath)) {
        const std::optional<std::string> copy = ReadBytesFrom(plan.copyPath);
        if (copy && game && *copy == *game)
            plan.held = HeldCopy::Same;
        else if (copy && IsDemoCopy(file, *copy) && !KeptAsOwn(plan.copyPath, *copy))
            plan.held = HeldCopy::Demo;
        else
            plan.held = HeldCopy::Own;
    }
    return plan;
}

bool TakesCopy(const ReferenceCopyPlan& plan)
{
    return plan.accepted && (plan.held == HeldCopy::None || plan.held == HeldCopy::Demo);
}

int WriteReferenceCopy(const ReferenceCopyPlan& plan)
{
    // A link in the place of a copy or its stamp is replaced, never written through.
    WriteScope scope;
    if (const std::optional<LockFailure> failure = scope.lock(plan.copyPath, LinkAtTarget::Replace))
        throw FileError(CannotLockText(*failure));
    // The stamp first: one that names bytes the copy never got counts for nothing.
    ReplacementFile stamp(StampPath(plan.copyPath), LinkAtTarget::Replace, &scope);
    if (const int error = stamp.commit(Sha256Hex(plan.bytes).toStdString() + "\n"))
        return error;
    ReplacementFile copy(plan.copyPath, LinkAtTarget::Replace, &scope);
    return copy.commit(plan.bytes);
}

TakenCopies TakeMissingReferenceCopies(const AppState& state, const std::vector<TuningFile>& files)
{
    TakenCopies result;
    for (TuningFile file : files) {
        try {
            // What the working folder holds is looked at and replaced in one step.
            const FolderLock lock(state.workFile(QLatin1String(ReferenceCopy(file))),
                                  LinkAtTarget::Replace);
            const ReferenceCopyPlan plan = PlanReferenceCopy(state, file, PathOf(state, file));
            if (!plan.accepted && (plan.held == HeldCopy::None || plan.held == HeldCopy::Demo))
                result.rejected.push_back(file);
            if (!TakesCopy(plan))
                continue;
            const int error = WriteReferenceCopy(plan);
            if (error != 0)
                throw FileError(QStringLiteral("Cannot write file \"%1\". %2")
                                    .arg(plan.copyPath, SystemErrorText(error)));
            result.taken.push_back(file);
            if (plan.held == HeldCopy::Demo)
                result.replacedDemo.push_back(file);
        } catch (const FileError& failure) {
            result.failed.emplace_back(file, failure.text());
        }
    }
    return result;
}
