#include "app/registryHive.h"

#include "store/textFile.h"

#include <QStringDecoder>
#include <QStringList>

namespace app {

namespace {

const QString kVersion5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QString kVersion4 = QStringLiteral("REGEDIT4");

// The file's text: UTF-16LE with its byte-order mark (as the registry editor
// writes version 5 files), UTF-8, or the ANSI code page for older files.
QString decodeFile(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder utf16(QStringDecoder::Utf16LE);
        return utf16.decode(bytes.mid(2));
    }
    const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(body);
    return utf8.hasError() ? store::decodeText(body) : text;
}

// Folds key paths: case, the root's name, doubled and trailing backslashes.
// Returns nullopt for a path under another root.
std::optional<QString> localMachinePath(const QString& path) {
    QStringList parts = path.split(u'\\', Qt::SkipEmptyParts);
    if (!parts.isEmpty()) {
        const QString root = parts.constFirst().toUpper();
        if (root == QLatin1String("HKEY_LOCAL_MACHINE") || root == QLatin1String("HKLM"))
            parts.removeFirst();
        else if (root.startsWith(QLatin1String("HKEY_")) || root == QLatin1String("HKCU") ||
                 root == QLatin1String("HKCR") || root == QLatin1String("HKU") ||
                 root == QLatin1String("HKCC"))
            return std::nullopt;
    }
    return parts.join(u'\\').toLower();
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

class HiveParser {
public:
    explicit HiveParser(const QString& text) : lines_(store::splitLines(text)) {}

    std::optional<RegistryHive> run() {
        if (!readHeader())
            return std::nullopt;
        while (line_ < lines_.size()) {
            const QString line = lines_.at(line_++).trimmed();
            if (line.isEmpty() || line.startsWith(u';'))
                continue;
            const bool ok = line.startsWith(u'[') ? readSection(line) : readValue(line);
            if (!ok)
                return std::nullopt;
        }
        return std::move(hive_);
    }

private:
    bool readHeader() {
        while (line_ < lines_.size()) {
            const QString line = lines_.at(line_++).trimmed();
            if (line.isEmpty())
                continue;
            if (line == kVersion5) {
                unicodeStrings_ = true;
                return true;
            }
            return line == kVersion4;
        }
        return false;
    }

    bool readSection(const QString& line) {
        if (!line.endsWith(u']'))
            return false;
        QString path = line.mid(1, line.size() - 2);
        const bool remove = path.startsWith(u'-');
        if (remove)
            path.remove(0, 1);
        const std::optional<QString> key = localMachinePath(path);
        current_ = nullptr;
        inSection_ = true;
        if (!key)
            return true; // another root: its values are skipped
        if (remove) {
            hive_.keys_.remove(*key);
            return true;
        }
        // No key is added before the next section, so the pointer stays valid.
        current_ = &hive_.keys_[*key];
        return true;
    }

    // A quoted string with \\ and \" escapes, starting at pos; pos ends after
    // the closing quote.
    static std::optional<QString> readQuoted(const QString& line, qsizetype& pos) {
        if (pos >= line.size() || line.at(pos) != u'"')
            return std::nullopt;
        QString out;
        for (++pos; pos < line.size(); ++pos) {
            const QChar c = line.at(pos);
            if (c == u'"') {
                ++pos;
                return out;
            }
            if (c == u'\\') {
                if (++pos >= line.size())
                    return std::nullopt;
                out += line.at(pos);
            } else {
                out += c;
            }
        }
        return std::nullopt;
    }

    bool readValue(const QString& line) {
        if (!inSection_)
            return false; // a value before any key
        qsizetype pos = 0;
        QString name;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else {
            std::optional<QString> quoted = readQuoted(line, pos);
            if (!quoted)
                return false;
            name = *quoted;
        }
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        if (pos >= line.size() || line.at(pos) != u'=')
            return false;
        const QString data = line.mid(pos + 1).trimmed();
        if (data == QLatin1String("-")) {
            if (current_)
                current_->remove(name.toLower());
            return true;
        }
        std::optional<RegistryValue> value = readData(data);
        if (!value)
            return false;
        if (current_) // else a key of another root
            current_->insert(name.toLower(), *value);
        return true;
    }

    std::optional<RegistryValue> readData(const QString& data) {
        if (data.startsWith(u'"')) {
            qsizetype pos = 0;
            std::optional<QString> text = readQuoted(data, pos);
            if (!text || pos != data.size())
                return std::nullopt;
            return RegistryValue{REG_SZ_TYPE, store::encodeText(*text) + '\0'};
        }
        if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
            const QString digits = data.mid(6);
            if (digits.isEmpty() || digits.size() > 8)
                return std::nullopt;
            quint32 v = 0;
            for (QChar c : digits) {
                const int d = hexDigit(c);
                if (d < 0)
                    return std::nullopt;
                v = v << 4 | quint32(d);
            }
            QByteArray bytes(4, '\0');
            for (int i = 0; i < 4; ++i)
                bytes[i] = char(v >> (8 * i) & 0xFF);
            return RegistryValue{REG_DWORD_TYPE, bytes};
        }
        if (data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive))
            return readHex(data);
        return std::nullopt;
    }

    // hex:01,02 or hex(N):01,02, continued over lines that end with a backslash.
    std::optional<RegistryValue> readHex(const QString& data) {
        qsizetype pos = 3;
        std::uint32_t type = REG_BINARY_TYPE;
        if (pos < data.size() && data.at(pos) == u'(') {
            const qsizetype close = data.indexOf(u')', pos);
            if (close < 0 || close == pos + 1 || close - pos > 9)
                return std::nullopt;
            type = 0;
            for (qsizetype i = pos + 1; i < close; ++i) {
                const int d = hexDigit(data.at(i));
                if (d < 0)
                    return std::nullopt;
                type = type << 4 | std::uint32_t(d);
            }
            pos = close + 1;
        }
        if (pos >= data.size() || data.at(pos) != u':')
            return std::nullopt;
        QString list = data.mid(pos + 1).trimmed();
        while (list.endsWith(u'\\')) {
            list.chop(1);
            if (line_ >= lines_.size())
                return std::nullopt;
            list += lines_.at(line_++).trimmed();
        }
        QByteArray bytes;
        if (!list.isEmpty()) {
            for (const QString& item : list.split(u',')) {
                const QString byte = item.trimmed();
                if (byte.size() != 2 || hexDigit(byte.at(0)) < 0 || hexDigit(byte.at(1)) < 0)
                    return std::nullopt;
                bytes.append(char(hexDigit(byte.at(0)) << 4 | hexDigit(byte.at(1))));
            }
        }
        const bool stringType =
            type == REG_SZ_TYPE || type == REG_EXPAND_SZ_TYPE || type == REG_MULTI_SZ_TYPE;
        if (stringType && unicodeStrings_ && bytes.size() % 2 == 0) {
            // Version 5 files hold strings in UTF-16; the ANSI call converts them.
            QStringDecoder utf16(QStringDecoder::Utf16LE);
            bytes = store::encodeText(utf16.decode(bytes));
        }
        return RegistryValue{type, bytes};
    }

    QStringList lines_;
    qsizetype line_ = 0;
    bool unicodeStrings_ = false;
    bool inSection_ = false;
    RegistryHive hive_;
    RegistryHive::Key* current_ = nullptr;
};

std::optional<RegistryHive> RegistryHive::parse(const QByteArray& fileBytes) {
    return HiveParser(decodeFile(fileBytes)).run();
}

bool RegistryHive::hasKey(const QString& keyPath) const {
    const std::optional<QString> key = localMachinePath(keyPath);
    return key && keys_.contains(*key);
}

const RegistryValue* RegistryHive::value(const QString& keyPath, const QString& valueName) const {
    const std::optional<QString> key = localMachinePath(keyPath);
    if (!key)
        return nullptr;
    auto k = keys_.constFind(*key);
    if (k == keys_.cend())
        return nullptr;
    auto v = k->constFind(valueName.toLower());
    return v == k->cend() ? nullptr : &*v;
}

void RegistryHive::forEachValue(
    const std::function<void(const QString&, const QString&, const RegistryValue&)>& f) const {
    for (auto key = keys_.cbegin(); key != keys_.cend(); ++key)
        for (auto value = key->cbegin(); value != key->cend(); ++value)
            f(key.key(), value.key(), value.value());
}

} // namespace app
