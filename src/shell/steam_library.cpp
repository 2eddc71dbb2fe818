// SPDX-License-Identifier: GPL-3.0-or-later
#include "steam_library.h"

#include "documents/replacement_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

enum class Token { Text, Open, Close, End, Bad };

// The words of KeyValues text: quoted or bare texts, braces, and // comments skipped.
class VdfTokens {
public:
    explicit VdfTokens(const QByteArray& text) : text_(text) {}

    Token next(QByteArray& word)
    {
        skipSpace();
        if (at_ >= text_.size())
            return Token::End;
        const char c = text_[at_];
        if (c == '{' || c == '}') {
            ++at_;
            return c == '{' ? Token::Open : Token::Close;
        }
        word.clear();
        if (c == '"')
            return quoted(word);
        while (at_ < text_.size() && !IsSpace(text_[at_]) && !IsSpecial(text_[at_]))
            word += text_[at_++];
        return Token::Text;
    }

private:
    static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    static bool IsSpecial(char c) { return c == '"' || c == '{' || c == '}'; }

    void skipSpace()
    {
        while (at_ < text_.size()) {
            if (text_[at_] == '/' && at_ + 1 < text_.size() && text_[at_ + 1] == '/') {
                const qsizetype end = text_.indexOf('\n', at_);
                at_ = end < 0 ? text_.size() : end;
            } else if (IsSpace(text_[at_])) {
                ++at_;
            } else {
                return;
            }
        }
    }

    // A quoted text, with \\, \", \n and \t as Steam writes them.
    Token quoted(QByteArray& word)
    {
        for (++at_; at_ < text_.size(); ++at_) {
            char c = text_[at_];
            if (c == '"') {
                ++at_;
                return Token::Text;
            }
            if (c == '\\' && at_ + 1 < text_.size()) {
                c = text_[++at_];
                c = c == 'n' ? '\n' : c == 't' ? '\t' : c;
            }
            word += c;
        }
        return Token::Bad;
    }

    const QByteArray& text_;
    qsizetype at_ = 0;
};

// A library's folder as its libraryfolders.vdf names it: "path" in each library's block,
// or, in the older form, a numbered key at the top level.
bool IsLibraryKey(const VdfValue& value)
{
    if (value.key.compare(QLatin1String("path"), Qt::CaseInsensitive) == 0)
        return true;
    bool number = false;
    value.key.toInt(&number);
    return number && value.depth == 1 && value.value.startsWith(QLatin1Char('/'));
}

// The id of appmanifest_<id>.acf in `steamapps` whose installdir is `dir`, in any case.
QString AppIdOf(const QString& steamapps, const QString& dir)
{
    static const QRegularExpression name(QStringLiteral("^appmanifest_([0-9]{1,10})\\.acf$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QStringList manifests =
        QDir(steamapps).entryList({QStringLiteral("appmanifest_*.acf")}, QDir::Files, QDir::Name);
    // A library holds a manifest per game; a folder with very many is not read to the end.
    for (const QString& manifest : manifests.mid(0, 4096)) {
        const QRegularExpressionMatch match = name.match(manifest);
        if (!match.hasMatch())
            continue;
        for (const VdfValue& value : ReadVdfFile(steamapps + QLatin1Char('/') + manifest, 1 << 16))
            if (value.depth == 1 &&
                value.key.compare(QLatin1String("installdir"), Qt::CaseInsensitive) == 0 &&
                value.value.compare(dir, Qt::CaseInsensitive) == 0)
                return match.captured(1);
    }
    return {};
}

} // namespace

std::vector<VdfValue> ParseVdf(const QByteArray& text)
{
    std::vector<VdfValue> values;
    VdfTokens tokens(text);
    QByteArray key;
    QByteArray word;
    bool keyRead = false;
    int depth = 0;
    for (;;) {
        switch (tokens.next(word)) {
        case Token::Text:
            if (keyRead)
                values.push_back({QString::fromUtf8(key), QString::fromUtf8(word), depth});
            else
                key = word;
            keyRead = !keyRead;
            break;
        case Token::Open:
            if (!keyRead)
                return {};
            keyRead = false;
            ++depth;
            break;
        case Token::Close:
            if (keyRead || depth == 0)
                return {};
            --depth;
            break;
        case Token::End:
            if (keyRead || depth != 0)
                return {};
            return values;
        case Token::Bad:
            return {};
        }
    }
}

std::vector<VdfValue> ReadVdfFile(const QString& path, qint64 limit)
{
    std::string bytes;
    if (ReadSmallFile(path, limit, bytes) != SmallFileRead::Read)
        return {};
    return ParseVdf(QByteArray::fromStdString(bytes));
}

QStringList SteamLibraries(const QString& steamRoot)
{
    QStringList libraries{QDir::cleanPath(steamRoot)};
    for (const char* vdf : {"/steamapps/libraryfolders.vdf", "/config/libraryfolders.vdf"})
        for (const VdfValue& value : ReadVdfFile(steamRoot + QLatin1String(vdf)))
            if (IsLibraryKey(value) && !value.value.isEmpty())
                libraries << QDir::cleanPath(value.value);
    libraries.removeDuplicates();
    return libraries;
}

SteamGame SteamGameOf(const QString& gameFolder)
{
    static const QRegularExpression pattern(QStringLiteral("^(.*/steamapps)/common/([^/]+)(/|$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(QDir::fromNativeSeparators(gameFolder));
    if (!match.hasMatch())
        return {};
    const QString steamapps = match.captured(1);
    const QString id = AppIdOf(steamapps, match.captured(2));
    if (id.isEmpty())
        return {};
    return {id, steamapps + QStringLiteral("/compatdata/") + id + QStringLiteral("/pfx")};
}
