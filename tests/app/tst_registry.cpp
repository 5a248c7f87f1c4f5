// The registry lookups through the registry file: its two formats, how keys
// and values are matched, the 1024-byte buffer, the value types, and every
// kind of missing or damaged file.

#include "KestrelFixture.h"
#include "app/registry.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTest>

#ifndef _WIN32
#include <unistd.h>
#endif

using globals::GetKestrelFolder;
using globals::GetRegistryText;
using globals::kHKeyLocalMachine;

namespace {
const QByteArray kVersion5 = "Windows Registry Editor Version 5.00\r\n\r\n";
const QByteArray kVersion4 = "REGEDIT4\r\n\r\n";
// The key path as the file writes it after the root.
const QByteArray kPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestrel.exe";
const QByteArray kSection = "[HKEY_LOCAL_MACHINE\\" + kPath + "]\r\n";
const QString kKey = QString::fromLatin1(kPath);
const QString kOtherKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quillbox.exe");
const QString kStale = QStringLiteral("stale");
constexpr uint kHKeyCurrentUser = 0x80000001u;

// A version 5 file holding the one value line in the kestrel.exe key.
QByteArray v5(const QByteArray& valueLine) {
    return kVersion5 + kSection + valueLine + "\r\n";
}

// "hex(1):..." data of a string as UTF-16LE, as version 5 files write it.
QByteArray utf16Hex(const QString& text, bool withNul) {
    QByteArray bytes(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    if (withNul)
        bytes.append(2, '\0');
    return bytes.toHex(',');
}

QByteArray utf16WithBom(const QString& text) {
    QStringEncoder encoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    return encoder.encode(text);
}
} // namespace

class RegistryTest : public QObject {
    Q_OBJECT
private slots:
    void lookup_data();
    void lookup();
    void missingFile();
    void unreadableFile();
    void userFileComesBeforeSystemFile();
    void kestrelFolder_data();
    void kestrelFolder();
};

void RegistryTest::lookup_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<uint>("root");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("passed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text");

    const uint hklm = kHKeyLocalMachine;
    const QString path = QStringLiteral("PATH");
    const QString kestrel = QStringLiteral("C:\\Kestrel");
    auto row = [&](const char* rowName, const QByteArray& file, const QString& key,
                   const QString& name, const QString& passed, bool ok, const QString& text,
                   uint root) {
        QTest::newRow(rowName) << file << root << key << name << passed << ok << text;
    };
    auto reads = [&](const char* rowName, const QByteArray& file, const QString& text) {
        row(rowName, file, kKey, path, QString(), true, text, hklm);
    };
    auto fails = [&](const char* rowName, const QByteArray& file) {
        row(rowName, file, kKey, path, kStale, false, QString(), hklm);
    };

    // The formats and the ways a section names its key.
    reads("version 5", v5("\"PATH\"=\"C:\\\\Kestrel\""), kestrel);
    reads("REGEDIT4", kVersion4 + kSection + "\"PATH\"=\"C:\\\\Kestrel\"\r\n", kestrel);
    reads("root written HKLM", kVersion5 + "[HKLM\\" + kPath + "]\r\n\"PATH\"=\"x\"\r\n", "x");
    reads("root left out", kVersion5 + "[" + kPath + "]\r\n\"PATH\"=\"x\"\r\n", "x");
    reads("lone LF line ends", "REGEDIT4\n\n[" + kPath + "]\n\"PATH\"=\"x\"\n", "x");
    reads("last line without an ending", kVersion5 + kSection + "\"PATH\"=\"x\"", "x");
    reads("comments and blank lines",
          kVersion5 + "; made by hand\r\n\r\n" + kSection + "\r\n; the folder\r\n\"PATH\"=\"x\"",
          "x");
    reads("UTF-16LE file with BOM",
          utf16WithBom(QString::fromLatin1(kVersion5 + kSection) +
                       QStringLiteral("\"PATH\"=\"C:\\\\Müller\"\r\n")),
          QStringLiteral("C:\\Müller"));
    reads("UTF-8 file with BOM", "\xEF\xBB\xBF" + v5("\"PATH\"=\"M\xC3\xBCller\""),
          QStringLiteral("Müller"));
    reads("Windows-1252 character survives", kVersion4 + kSection + "\"PATH\"=\"M\xFCller\"\r\n",
          QStringLiteral("Müller"));
    reads("section of another root after ours",
          v5("\"PATH\"=\"ours\"") + "[HKEY_CURRENT_USER\\" + kPath + "]\r\n\"PATH\"=\"theirs\"\r\n",
          "ours");
    reads("a later line replaces an earlier one", v5("\"PATH\"=\"old\"\r\n\"PATH\"=\"new\""),
          "new");

    // Matching without regard to case.
    row("key path in other case", v5("\"PATH\"=\"x\""), kKey.toUpper(), path, {}, true, "x", hklm);
    row("value name in other case", v5("\"Path\"=\"x\""), kKey, "pAtH", {}, true, "x", hklm);
    reads("section in other case",
          kVersion5 + "[hklm\\" + kPath.toLower() + "]\r\n\"PATH\"=\"x\"\r\n", "x");

    // Strings.
    reads("escaped quote and backslash", v5("\"PATH\"=\"a\\\"b\\\\c\""), "a\"b\\c");
    reads("trailing backslash kept as read", v5("\"PATH\"=\"C:\\\\Kestrel\\\\\""), "C:\\Kestrel\\");
    reads("empty string", v5("\"PATH\"=\"\""), "");
    reads("1023 characters read whole", v5("\"PATH\"=\"" + QByteArray(1023, 'a') + "\""),
          QString(1023, u'a'));
    fails("1024 characters fail", v5("\"PATH\"=\"" + QByteArray(1024, 'a') + "\""));
    reads("1023 characters as UTF-16 read whole",
          v5("\"PATH\"=hex(1):" + utf16Hex(QString(1023, u'b'), true)), QString(1023, u'b'));
    fails("1024 characters as UTF-16 fail",
          v5("\"PATH\"=hex(1):" + utf16Hex(QString(1024, u'b'), true)));
    reads("1024 bytes without NUL fit the buffer",
          kVersion4 + kSection + "\"PATH\"=hex(1):" + QByteArray(1024, 'c').toHex(',') + "\r\n",
          QString(1024, u'c'));
    reads("hex(1) in version 5 is UTF-16, trailing NUL dropped",
          v5("\"PATH\"=hex(1):" + utf16Hex(QStringLiteral("C:\\Müller"), true)),
          QStringLiteral("C:\\Müller"));
    reads("hex(1) without trailing NUL taken whole",
          v5("\"PATH\"=hex(1):" + utf16Hex(QStringLiteral("C:"), false)), "C:");
    reads("hex(1) in REGEDIT4 is ANSI, trailing NUL dropped",
          kVersion4 + kSection + "\"PATH\"=hex(1):4d,fc,00\r\n", QStringLiteral("Mü"));
    reads("only one trailing NUL dropped", kVersion4 + kSection + "\"PATH\"=hex(1):41,00,00\r\n",
          QString::fromLatin1("A\0", 2));
    reads("hex continuation lines",
          v5("\"PATH\"=hex(1):43,00,3a,00,\\\r\n  5c,00,4b,00,\\\r\n  00,00"), "C:\\K");
    reads("hex digits in capitals", kVersion4 + kSection + "\"PATH\"=HEX(1):4B,4C\r\n", "KL");

    // Other types.
    reads("REG_EXPAND_SZ gives no text", v5("\"PATH\"=hex(2):43,00,3a,00,00,00"), "");
    row("REG_EXPAND_SZ leaves the text as passed", v5("\"PATH\"=hex(2):43,00,3a,00,00,00"), kKey,
        path, "as passed", true, "as passed", hklm);
    row("binary leaves the text as passed", v5("\"PATH\"=hex:01,02"), kKey, path, "as passed", true,
        "as passed", hklm);
    row("type ffffffff is an ordinary value", v5("\"PATH\"=hex(ffffffff):01"), kKey, path,
        "as passed", true, "as passed", hklm);
    reads("REG_DWORD", v5("\"PATH\"=dword:0000001f"), "&h1F");
    reads("REG_DWORD zero", v5("\"PATH\"=dword:00000000"), "&h0");
    reads("REG_DWORD all bits", v5("\"PATH\"=dword:FFFFFFFF"), "&hFFFFFFFF");

    // The default value.
    row("default value @", v5("@=\"default\"\r\n\"PATH\"=\"x\""), kKey, QString(), {}, true,
        "default", hklm);
    row("no default value", v5("\"PATH\"=\"x\""), kKey, QString(), kStale, false, {}, hklm);

    // Lookups that fail.
    row("missing value", v5("\"PATH\"=\"x\""), kKey, "FOLDER", kStale, false, {}, hklm);
    row("missing key", v5("\"PATH\"=\"x\""), kOtherKey, path, kStale, false, {}, hklm);
    row("parent key", v5("\"PATH\"=\"x\""), "SOFTWARE\\Microsoft", path, kStale, false, {}, hklm);
    fails("section of another root",
          kVersion5 + "[HKEY_CURRENT_USER\\" + kPath + "]\r\n\"PATH\"=\"x\"\r\n");
    fails("deleted value", v5("\"PATH\"=\"x\"\r\n\"PATH\"=-"));
    fails("deleted key", v5("\"PATH\"=\"x\"") + "[-HKEY_LOCAL_MACHINE\\" + kPath + "]\r\n");
    row("root handle HKEY_CURRENT_USER", v5("\"PATH\"=\"x\""), kKey, path, kStale, false, {},
        kHKeyCurrentUser);
    row("root handle 0", v5("\"PATH\"=\"x\""), kKey, path, kStale, false, {}, 0);

    // Damaged files: the whole file is refused, even values before the fault.
    fails("0-byte file", QByteArray());
    fails("header only", kVersion5);
    fails("bad header",
          "Windows Registry Editor Version 6.00\r\n\r\n" + kSection + "\"PATH\"=\"x\"\r\n");
    fails("no header", kSection + "\"PATH\"=\"x\"\r\n");
    fails("unterminated quote", v5("\"PATH\"=\"x\"\r\n\"OTHER\"=\"y"));
    fails("unterminated value name", v5("\"PATH\"=\"x\"\r\n\"OTHER=\"y\""));
    fails("text after the closing quote", v5("\"PATH\"=\"x\" junk"));
    fails("value before any section", kVersion5 + "\"PATH\"=\"x\"\r\n" + kSection);
    fails("section without closing bracket", v5("\"PATH\"=\"x\"") + "[HKLM\\SOFTWARE\r\n");
    fails("bad hex digit", v5("\"PATH\"=\"x\"\r\n\"OTHER\"=hex:4g"));
    fails("hex item of one digit", v5("\"PATH\"=\"x\"\r\n\"OTHER\"=hex:4,41"));
    fails("hex continuation at the end of the file", v5("\"PATH\"=\"x\"\r\n\"OTHER\"=hex:41,\\"));
    fails("bad type number", v5("\"PATH\"=\"x\"\r\n\"OTHER\"=hex(z):41"));
    fails("dword of nine digits", v5("\"PATH\"=\"x\"\r\n\"OTHER\"=dword:123456789"));
    fails("unknown data", v5("\"PATH\"=x"));
    fails("binary garbage", QByteArray("\xFF\xFE\x00\xD8[", 5));
}

void RegistryTest::lookup() {
    QFETCH(QByteArray, file);
    QFETCH(uint, root);
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(QString, passed);
    QFETCH(bool, ok);
    QFETCH(QString, text);

    KestrelFixture fx;
    fx.writeRegistry(file);
    QString t = passed;
    QCOMPARE(GetRegistryText(root, key, name, t), ok);
    QCOMPARE(t, text);
}

void RegistryTest::missingFile() {
    KestrelFixture fx;
    QString t = kStale;
    QVERIFY(!GetRegistryText(kHKeyLocalMachine, kKey, "PATH", t));
    QCOMPARE(t, QString());
}

void RegistryTest::unreadableFile() {
    {
        KestrelFixture fx;
        QDir().mkpath(fx.root() + "/config/quillbox/registry.reg"); // a folder in its place
        QString t = kStale;
        QVERIFY(!GetRegistryText(kHKeyLocalMachine, kKey, "PATH", t));
        QCOMPARE(t, QString());
    }
#ifndef _WIN32
    if (::geteuid() == 0)
        QSKIP("running as root, which reads a file without read permission");
    KestrelFixture fx;
    fx.registerBoth();
    const QString file = fx.root() + "/config/quillbox/registry.reg";
    QVERIFY(QFile::setPermissions(file, QFile::WriteOwner));
    QString t = kStale;
    QVERIFY(!GetRegistryText(kHKeyLocalMachine, kKey, "PATH", t));
    QCOMPARE(t, QString());
#endif
}

void RegistryTest::userFileComesBeforeSystemFile() {
    KestrelFixture fx;
    QDir().mkpath(fx.root() + "/system-config/quillbox");
    KestrelFixture::writeFile(fx.root() + "/system-config/quillbox/registry.reg",
                              v5("\"PATH\"=\"system\""));
    QString t;
    QVERIFY(GetRegistryText(kHKeyLocalMachine, kKey, "PATH", t));
    QCOMPARE(t, QStringLiteral("system"));

    fx.writeRegistry(v5("\"PATH\"=\"user\""));
    QVERIFY(GetRegistryText(kHKeyLocalMachine, kKey, "PATH", t));
    QCOMPARE(t, QStringLiteral("user"));
}

void RegistryTest::kestrelFolder_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("folder");

    QTest::newRow("registered") << v5("\"PATH\"=\"/srv/kestrel\"") << "/srv/kestrel";
    QTest::newRow("trailing separator kept") << v5("\"PATH\"=\"/srv/kestrel/\"") << "/srv/kestrel/";
    QTest::newRow("not registered")
        << kVersion5 + "[HKLM\\" + kOtherKey.toLatin1() + "]\r\n\"PATH\"=\"/opt/q\"\r\n"
        << QString();
    QTest::newRow("expandable string gives nothing")
        << v5("\"PATH\"=hex(2):2f,00,6b,00,00,00") << QString();
    QTest::newRow("damaged file") << v5("\"PATH\"=\"/srv/kestrel") << QString();
}

void RegistryTest::kestrelFolder() {
    QFETCH(QByteArray, file);
    QFETCH(QString, folder);

    KestrelFixture fx;
    fx.writeRegistry(file);
    QCOMPARE(GetKestrelFolder(), folder);
}

QTEST_MAIN(RegistryTest)
#include "tst_registry.moc"
