// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Catches: a metadata value read with the wrong width, sign, type or byte order; a malformed block
// (cut value, missing terminator, unsupported type code) read past its end or taken as good; the
// one-pass block decoder parting from the extract operations, on random and damaged blocks; a failed
// extract leaving data behind; the encoder writing what the decoder reads otherwise (a type, a
// width, an empty or large value, a key order), or letting through what cannot travel.

#include "dbusmessageutil.h"

#include <QRandomGenerator>
#include <QSize>
#include <QTest>
#include <QUrl>

#include <cfloat>
#include <climits>
#include <cstring>
#include <memory>

// Blocks written by the library's encoder; the raw appenders make the malformed ones.
struct Block
{
    static constexpr qint32 String = 64;
    QByteArray bytes;

    Block &add(const QString &key, const QVariant &value)
    {
        DBusMessageUtil::appendMetadataEntry(bytes, key, value);
        return *this;
    }
    Block &addHeader(const QString &key, qint32 code)
    {
        return addBytes(key.toLatin1() + '\0').addWord(1).addWord(code);
    }
    Block &addWord(qint32 word) { return addBytes(QByteArray(reinterpret_cast<const char *>(&word), 4)); }
    Block &addBytes(const QByteArray &raw)
    {
        bytes += raw;
        return *this;
    }
    QByteArray block() const { return bytes; }
};

namespace {

struct Decoded
{
    bool ok = false;
    QStringList keys;
    QStringList values;
    bool leftOver = false;
};

// From a buffer of exactly the block's size, so that the address sanitizer sees a read past it.
Decoded decode(const QByteArray &block)
{
    const std::unique_ptr<char[]> exact(new char[size_t(block.size())]);
    std::copy(block.cbegin(), block.cend(), exact.get());
    Decoded result;
    result.ok = DBusMessageUtil::decodeMetadataBlock(QByteArray::fromRawData(exact.get(), block.size()), result.keys,
                                                     result.values);
    return result;
}

// The same block read with the extract operations, entry by entry.
Decoded decodeWithExtracts(QByteArray data)
{
    Decoded result;
    bool error = false;
    for (int guard = 0; !data.isEmpty() && !error && guard < 1000; ++guard) {
        result.keys << DBusMessageUtil::extractString(data, &error);
        DBusMessageUtil::extractNumericValue(data, 0, &error);
        const int type = DBusMessageUtil::extractNumericValue(data, 0, &error);
        const QVariant value = DBusMessageUtil::extractMetadataValue(type, data, &error);
        if (!error)
            result.values << value.toString();
    }
    // A failed extract consumes the rest, so that a caller's loop over the data ends.
    result.leftOver = !data.isEmpty();
    result.ok = !error && !result.leftOver;
    return result;
}

QByteArray randomBytes(QRandomGenerator &random, int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

// Entries of random supported and unsupported types; some of them cut or damaged somewhere.
QByteArray randomEntries(QRandomGenerator &random, bool damaged)
{
    static const QList<QPair<int, int>> codesAndSizes = {{12, 1}, {20, 4}, {24, 4}, {28, 4}, {40, 8},
                                                         {44, 8}, {60, 8}, {64, 0}, {16, 4}, {56, 4}};
    Block encoder;
    for (int i = random.bounded(6); i > 0; --i) {
        const QPair<int, int> type = codesAndSizes.at(random.bounded(codesAndSizes.size()));
        // A string value is text up to its zero byte.
        encoder.addHeader(QStringLiteral("k%1").arg(random.bounded(4)), type.first)
            .addBytes(type.first == Block::String ? randomBytes(random, random.bounded(8)).replace('\0', 'x') + '\0'
                                                  : randomBytes(random, type.second));
    }
    QByteArray block = encoder.block();
    if (damaged && !block.isEmpty()) {
        const int at = random.bounded(block.size());
        if (random.bounded(2))
            block.truncate(at);
        else
            block[at] = char(random.bounded(256));
    }
    return block;
}

QString randomLatin1(QRandomGenerator &random, int size)
{
    QString text;
    for (int i = 0; i < size; ++i)
        text += QChar(ushort(1 + random.bounded(255)));
    return text;
}

// A value of a type that the decoder gives, with any bit pattern.
QVariant randomValue(QRandomGenerator &random)
{
    const quint64 bits = random.generate64();
    switch (random.bounded(7)) {
    case 0: return bool(bits & 1);
    case 1: return int(bits);
    case 2: return uint(bits);
    case 3: return qlonglong(bits);
    case 4: return qulonglong(bits);
    case 5: {
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return qIsNaN(value) ? 0.25 : value; // NaN equals nothing, not even itself
    }
    default: return randomLatin1(random, random.bounded(40));
    }
}

// The same map, and every value of the same type.
bool sameMetadata(const QVariantMap &a, const QVariantMap &b)
{
    if (a != b)
        return false;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        if (it.value().userType() != b.value(it.key()).userType())
            return false;
    }
    return true;
}

} // namespace

class DBusMessageUtilTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void blocks_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QVariantMap>("metadata");
        QTest::addColumn<QStringList>("values");
        const QString k = QStringLiteral("k");
        const auto one = [&k](const char *name, const Block &entry, const QVariant &value) {
            QTest::newRow(name) << entry.block() << true << QVariantMap{{k, value}} << QStringList{value.toString()};
        };
        // The one-letter key leaves every value unaligned.
        one("char", Block().add(k, QVariant::fromValue<signed char>(-1)), -1);
        one("char high", Block().add(k, QVariant::fromValue<char>(127)), 127);
        one("bool", Block().addHeader(k, 20).addWord(2), true);
        one("bool off", Block().add(k, false), false);
        one("int", Block().add(k, INT_MIN), INT_MIN);
        one("uint", Block().add(k, UINT_MAX), UINT_MAX);
        one("int64", Block().add(k, qlonglong(LLONG_MIN)), qlonglong(LLONG_MIN));
        one("uint64", Block().add(k, qulonglong(ULLONG_MAX)), qulonglong(ULLONG_MAX));
        one("double", Block().add(k, -2.5), -2.5);
        one("string", Block().add(k, QStringLiteral("Caf\u00e9")), QStringLiteral("Caf\u00e9"));
        one("empty string", Block().add(k, QString()), QString());
        // The map keeps a repeated key's last value, the lists keep every entry in block order.
        QTest::newRow("repeated and empty keys")
            << Block().add(k, 1).add(QString(), QStringLiteral("keyless")).add(k, 2).block() << true
            << QVariantMap{{QString(), QStringLiteral("keyless")}, {k, 2}}
            << QStringList{QStringLiteral("1"), QStringLiteral("keyless"), QStringLiteral("2")};
        QTest::newRow("empty block") << QByteArray() << true << QVariantMap() << QStringList();

        // Malformed: what comes before the fault is decoded, nothing after it.
        const Block good = Block().add(k, 3);
        const auto bad = [&](const char *name, const Block &block) {
            const bool afterGood = block.block().startsWith(good.block());
            QTest::newRow(name) << block.block() << false << (afterGood ? QVariantMap{{k, 3}} : QVariantMap())
                                << (afterGood ? QStringList{QStringLiteral("3")} : QStringList());
        };
        bad("key without terminator", Block(good).addBytes("title"));
        bad("short skipped word", Block(good).addBytes(QByteArray("k\0\1\0", 4)));
        bad("short type code", Block().addBytes(QByteArray("k\0", 2)).addWord(1).addBytes("\x18"));
        for (int code : {16, 32, 36, 56, 0, -1, 13})
            bad(qPrintable(QStringLiteral("unsupported code %1").arg(code)), Block(good).addHeader(k, code).addWord(1));
        bad("int64 cut after 4 bytes", Block().addHeader(k, 40).addWord(5));
        bad("double cut after 7 bytes", Block().addHeader(k, 60).addBytes("1234567"));
        bad("int cut after 3 bytes", Block().addHeader(k, 24).addBytes("123"));
        bad("char without its byte", Block(good).addHeader(k, 12));
        bad("string value without terminator", Block().addHeader(k, 64).addBytes("Song"));
    }

    void blocks()
    {
        QFETCH(QByteArray, block);
        QFETCH(bool, ok);
        QFETCH(QVariantMap, metadata);
        QFETCH(QStringList, values);
        QVariantMap decoded;
        QCOMPARE(DBusMessageUtil::decodeMetadataBlock(block, decoded), ok);
        QCOMPARE(decoded, metadata);
        for (auto it = metadata.cbegin(); it != metadata.cend(); ++it)
            QCOMPARE(decoded.value(it.key()).userType(), it.value().userType());
        const Decoded listed = decode(block);
        QCOMPARE(listed.ok, ok);
        QCOMPARE(listed.values, values);
        // A failing entry leaves its key without a value.
        QCOMPARE(listed.keys.size(), values.size() + (ok ? 0 : 1));
        for (int i = 0; i < values.size(); ++i)
            QVERIFY(metadata.contains(listed.keys.at(i)));
    }

    void encodedMapsDecodeToThemselves_data()
    {
        QTest::addColumn<QVariantMap>("metadata");
        QTest::addColumn<QVariantMap>("decoded");
        const auto same = [](const char *name, const QVariantMap &metadata) {
            QTest::newRow(name) << metadata << metadata;
        };
        const auto key = [](const char *text) { return QLatin1String(text); };
        same("empty", {});
        same("bool", {{key("t"), true}, {key("f"), false}});
        same("int", {{key("a"), INT_MIN}, {key("b"), INT_MAX}, {key("c"), 0}});
        same("uint", {{key("a"), UINT_MAX}, {key("b"), 0u}});
        same("int64", {{key("a"), qlonglong(LLONG_MIN)}, {key("b"), qlonglong(LLONG_MAX)}});
        same("uint64", {{key("a"), qulonglong(ULLONG_MAX)}});
        same("double", {{key("a"), -2.5}, {key("b"), DBL_MAX}, {key("c"), DBL_TRUE_MIN}, {key("d"), qInf()}});
        same("strings",
             {{key("e"), QString()},
              {QString(), QStringLiteral("keyless")},
              {key("l"), QStringLiteral("Caf\u00e9 \u00ff\u0001")}});
        same("large", {{QString(300, QLatin1Char('k')), QString(100000, QLatin1Char('v'))}});
        // Narrower and wider types arrive as the type they travelled as.
        QTest::newRow("other widths") << QVariantMap{{key("c"), QVariant::fromValue<char>(-3)},
                                                     {key("s"), QVariant::fromValue<short>(-4)},
                                                     {key("us"), QVariant::fromValue<ushort>(5)},
                                                     {key("uc"), QVariant::fromValue<uchar>(200)},
                                                     {key("f"), 0.5f},
                                                     {key("l"), QVariant::fromValue<long>(-6)},
                                                     {key("ul"), QVariant::fromValue<ulong>(7)},
                                                     {key("url"), QUrl(QStringLiteral("file:///a"))}}
                                      << QVariantMap{{key("c"), -3},
                                                     {key("s"), -4},
                                                     {key("us"), 5u},
                                                     {key("uc"), 200u},
                                                     {key("f"), 0.5},
                                                     {key("l"), qlonglong(-6)},
                                                     {key("ul"), qulonglong(7)},
                                                     {key("url"), QStringLiteral("file:///a")}};
        QTest::newRow("what cannot travel is left out") << QVariantMap{{key("ok"), 1},
                                                                       {key("euro"), QStringLiteral("\u20ac")},
                                                                       {key("zero"), QString(QChar(0))},
                                                                       {QStringLiteral("k\u20ac"), 1},
                                                                       {QString(QChar(0)), 1},
                                                                       {key("size"), QSize(1, 2)},
                                                                       {key("invalid"), QVariant()},
                                                                       {key("list"), QVariantList{1}}}
                                                        << QVariantMap{{key("ok"), 1}};
    }

    void encodedMapsDecodeToThemselves()
    {
        QFETCH(QVariantMap, metadata);
        QFETCH(QVariantMap, decoded);
        QByteArray block("stale");
        QCOMPARE(DBusMessageUtil::encodeMetadataBlock(metadata, block), metadata.size() == decoded.size());
        QVariantMap back;
        QVERIFY(DBusMessageUtil::decodeMetadataBlock(block, back));
        QVERIFY(sameMetadata(back, decoded));
        // The skipped word holds the size of the value: the first entry alone decodes.
        if (!decoded.isEmpty()) {
            qint32 size = 0;
            const int keyEnd = int(block.indexOf('\0'));
            std::memcpy(&size, block.constData() + keyEnd + 1, sizeof size);
            QVERIFY(DBusMessageUtil::decodeMetadataBlock(block.left(keyEnd + 9 + size), back));
        }
    }

    void randomMapsSurviveTheJourney()
    {
        QRandomGenerator random(8675309);
        for (int round = 0; round < 2000; ++round) {
            QVariantMap metadata;
            for (int i = random.bounded(12); i > 0; --i)
                metadata.insert(randomLatin1(random, random.bounded(10)), randomValue(random));
            QByteArray block;
            QVERIFY(DBusMessageUtil::encodeMetadataBlock(metadata, block));
            QVariantMap back;
            QVERIFY(DBusMessageUtil::decodeMetadataBlock(block, back));
            QVERIFY2(sameMetadata(back, metadata), block.toHex().constData());
        }
    }

    void randomBlocksDecodeLikeTheExtractLoop()
    {
        // Thousands of warnings and traces say nothing here.
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &) {});
        QRandomGenerator random(20240611);
        int wellFormed = 0;
        for (int round = 0; round < 3000; ++round) {
            const QByteArray block = round % 3 ? randomEntries(random, round % 3 == 2)
                                               : randomBytes(random, random.bounded(48));
            const Decoded reference = decodeWithExtracts(block);
            const Decoded fast = decode(block);
            QVERIFY2(fast.ok == reference.ok, block.toHex().constData());
            QCOMPARE(fast.keys, reference.keys);
            QCOMPARE(fast.values, reference.values);
            QVERIFY(!reference.leftOver);
            wellFormed += fast.ok ? 1 : 0;
        }
        qInstallMessageHandler(previous);
        // Both kinds of block were met often enough to mean something.
        QVERIFY2(wellFormed > 500 && wellFormed < 2500, qPrintable(QString::number(wellFormed)));
    }
};

QTEST_GUILESS_MAIN(DBusMessageUtilTest)
#include "tst_dbusmessageutil.moc"
