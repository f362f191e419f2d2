// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The metadata block decoder: every value type, every way a block can be malformed, and random
// blocks, with the one-pass block decoder held against a loop of the extract operations.

#include "dbusmessageutil.h"
#include "kestmessagerecorder.h"
#include "kestmetadataencoder.h"

#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTest>

#include <cstring>
#include <limits>
#include <memory>

namespace {

const char *const StringFault = "String can not be extracted.";
const char *const NumericFault = "Numeric value  can not be extracted.";
const char *const TypeFault = "WARNING, unsupported data type";

struct Decoded
{
    bool ok = false;
    QStringList keys;
    QStringList values;
    QStringList messages;
};

// The whole-block loop written with the extract operations, one entry at a time.
Decoded decodeWithExtracts(QByteArray data, KestMessageRecorder &recorder)
{
    Decoded result;
    bool error = false;
    int entries = 0;
    while (!data.isEmpty()) {
        result.keys.append(DBusMessageUtil::extractString(data, &error));
        DBusMessageUtil::extractNumericValue(data, 0, &error);
        const int type = DBusMessageUtil::extractNumericValue(data, 0, &error);
        const QVariant value = DBusMessageUtil::extractMetadataValue(type, data, &error);
        if (error)
            break;
        result.values.append(value.toString());
        if (++entries > 100000)
            qFatal("the extract loop does not end");
    }
    result.ok = !error;
    result.messages = recorder.take();
    return result;
}

// Decodes from a buffer of exactly the block's size, so that a read past its end is a heap
// overflow that the address sanitizer reports.
Decoded decodeBlock(const QByteArray &block, KestMessageRecorder &recorder)
{
    const std::unique_ptr<char[]> exact(new char[size_t(block.size())]);
    std::copy(block.cbegin(), block.cend(), exact.get());
    const QByteArray raw = QByteArray::fromRawData(exact.get(), block.size());
    Decoded result;
    result.ok = DBusMessageUtil::decodeMetadataBlock(raw, result.keys, result.values);
    result.messages = recorder.take();
    return result;
}

QByteArray randomBytes(QRandomGenerator &random, int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

// Mostly well-formed blocks: a few entries of random types, some of them unsupported.
QByteArray randomEntries(QRandomGenerator &random)
{
    static const int codes[] = {12, 20, 24, 28, 40, 44, 60, 64, 16, 56};
    KestMetadataEncoder encoder;
    const int entries = random.bounded(6);
    for (int i = 0; i < entries; ++i) {
        const QString key = QStringLiteral("k%1").arg(random.bounded(4));
        const int code = codes[random.bounded(int(sizeof codes / sizeof *codes))];
        switch (code) {
        case 12: encoder.addChar(key, static_cast<signed char>(random.bounded(256) - 128)); break;
        case 20: encoder.addBool(key, qint32(random.generate())); break;
        case 24: encoder.addInt(key, qint32(random.generate())); break;
        case 28: encoder.addUInt(key, random.generate()); break;
        case 40: encoder.addInt64(key, qint64(random.generate64())); break;
        case 44: encoder.addUInt64(key, random.generate64()); break;
        case 60: encoder.addDouble(key, random.generateDouble() * 1e6 - 5e5); break;
        case 64:
            encoder.addString(key, QString::fromLatin1(randomBytes(random, random.bounded(8)).replace('\0', 'x')));
            break;
        default: encoder.addHeader(key, code).addWord(qint32(random.generate())); break;
        }
    }
    return encoder.block();
}

} // namespace

class DBusMessageUtilTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decodesEveryType()
    {
        const QByteArray block = KestMetadataEncoder()
                                     .addChar(QStringLiteral("char"), -1)
                                     .addChar(QStringLiteral("high"), 127)
                                     .addBool(QStringLiteral("bool"), 2)
                                     .addBool(QStringLiteral("off"), 0)
                                     .addInt(QStringLiteral("int"), std::numeric_limits<qint32>::min())
                                     .addUInt(QStringLiteral("uint"), std::numeric_limits<quint32>::max())
                                     .addInt64(QStringLiteral("int64"), std::numeric_limits<qint64>::min())
                                     .addUInt64(QStringLiteral("uint64"), std::numeric_limits<quint64>::max())
                                     .addDouble(QStringLiteral("double"), -2.5)
                                     .addString(QStringLiteral("title"), QStringLiteral("Caf\u00e9"))
                                     .addString(QStringLiteral("empty"), QString())
                                     .addString(QString(), QStringLiteral("keyless"))
                                     .addInt(QStringLiteral("twice"), 1)
                                     .addInt(QStringLiteral("twice"), 2)
                                     .block();
        QMap<QString, QVariant> metadata;
        QVERIFY(DBusMessageUtil::decodeMetadataBlock(block, metadata));
        QCOMPARE(metadata.size(), 13);
        const auto check = [&](const char *key, const QVariant &expected) {
            const QVariant actual = metadata.value(QString::fromLatin1(key));
            QCOMPARE(actual.userType(), expected.userType());
            QCOMPARE(actual, expected);
        };
        check("char", QVariant(int(-1)));
        check("high", QVariant(int(127)));
        check("bool", QVariant(true));
        check("off", QVariant(false));
        check("int", QVariant(std::numeric_limits<int>::min()));
        check("uint", QVariant(std::numeric_limits<uint>::max()));
        check("int64", QVariant(std::numeric_limits<qlonglong>::min()));
        check("uint64", QVariant(std::numeric_limits<qulonglong>::max()));
        check("double", QVariant(-2.5));
        check("title", QVariant(QStringLiteral("Caf\u00e9")));
        check("empty", QVariant(QString()));
        check("", QVariant(QStringLiteral("keyless")));
        check("twice", QVariant(2)); // the map keeps the last value

        // The lists keep every entry in block order, repeated keys included.
        QStringList keys;
        QStringList values;
        QVERIFY(DBusMessageUtil::decodeMetadataBlock(block, keys, values));
        QCOMPARE(keys.size(), 14);
        QCOMPARE(keys.mid(12), (QStringList{QStringLiteral("twice"), QStringLiteral("twice")}));
        QCOMPARE(values.mid(12), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
        QCOMPARE(values.first(), QStringLiteral("-1"));

        QVERIFY(DBusMessageUtil::decodeMetadataBlock(QByteArray(), metadata));
        keys.clear();
        QVERIFY(DBusMessageUtil::decodeMetadataBlock(QByteArray(), keys, values));
        QVERIFY(keys.isEmpty());
    }

    void tracesBlocksNotNumbers()
    {
        // A block is traced in one line, however many numbers it holds; a number read on its
        // own is still traced.
        QLoggingCategory::setFilterRules(QStringLiteral("qkest.source.debug=true"));
        const QByteArray block = KestMetadataEncoder()
                                     .addInt(QStringLiteral("track"), 3)
                                     .addUInt64(QStringLiteral("size"), 4096)
                                     .addString(QStringLiteral("title"), QStringLiteral("Song"))
                                     .block();
        KestMessageRecorder recorder(KestMessageRecorder::ProblemsAndTraces);
        QMap<QString, QVariant> metadata;
        QVERIFY(DBusMessageUtil::decodeMetadataBlock(block, metadata));
        QCOMPARE(recorder.take(),
                 QStringList{
                     QStringLiteral("DBusMessageUtil::decodeMetadataBlock entries: 3 bytes: %1").arg(block.size())});
        QByteArray word = KestMetadataEncoder().addWord(5).block();
        bool error = true;
        QCOMPARE(DBusMessageUtil::extractNumericValue(word, 0, &error), 5);
        QCOMPARE(recorder.take(), QStringList{QStringLiteral("extracted numeric : 5")});
    }

    void extractOperationsConsumeTheirBytes()
    {
        // title\0, skipped word 1, code 64, Song\0: one entry, nothing left.
        QByteArray data = KestMetadataEncoder().addString(QStringLiteral("title"), QStringLiteral("Song")).block();
        bool error = true;
        QCOMPARE(DBusMessageUtil::extractString(data, &error), QStringLiteral("title"));
        QVERIFY(!error);
        QCOMPARE(data.size(), 4 + 4 + 5);
        QCOMPARE(DBusMessageUtil::extractNumericValue(data, 0, &error), 1);
        QCOMPARE(DBusMessageUtil::extractNumericValue(data, 0, &error), 64);
        error = true;
        const QVariant value = DBusMessageUtil::extractMetadataValue(64, data, &error);
        QVERIFY(!error);
        QCOMPARE(value, QVariant(QStringLiteral("Song")));
        QVERIFY(data.isEmpty());

        // Every width, read from odd offsets: the bytes are copied, never loaded in place.
        data = KestMetadataEncoder()
                   .addBytes(QByteArray("\x01", 1))
                   .addWord(-7)
                   .addBytes(QByteArray("\xff\xff\xff\xff\xff\xff\xff\xff\x80", 9))
                   .block();
        data.remove(0, 1);
        QCOMPARE(DBusMessageUtil::extractNumericValue(data, 0u, &error), uint(-7));
        QCOMPARE(DBusMessageUtil::extractNumericValue(data, 0ull, &error), std::numeric_limits<qulonglong>::max());
        QCOMPARE(int(DBusMessageUtil::extractNumericValue(data, char(0), &error)), int(char(0x80)));
        QVERIFY(!error);
        QVERIFY(data.isEmpty());

        QByteArray eight = KestMetadataEncoder().addWord(1).addWord(2).block();
        QByteArray copy = eight;
        QCOMPARE(DBusMessageUtil::extractNumericValue(eight, 0ll, &error), qint64(1) | (qint64(2) << 32));
        double expected;
        std::memcpy(&expected, copy.constData(), sizeof expected);
        const double read = DBusMessageUtil::extractNumericValue(copy, 0.0, &error);
        QVERIFY(std::memcmp(&read, &expected, sizeof read) == 0);

        // A failed read keeps the variant's type but says so through the flag, and clears.
        data = QByteArray("\x01\x02", 2);
        QTest::ignoreMessage(QtWarningMsg, NumericFault);
        const QVariant shortInt = DBusMessageUtil::extractMetadataValue(28, data, &error);
        QVERIFY(error);
        QVERIFY(data.isEmpty());
        QCOMPARE(shortInt.userType(), int(QMetaType::UInt));
        QCOMPARE(shortInt.toUInt(), 0u);

        data = QByteArray("abc", 3);
        QTest::ignoreMessage(QtWarningMsg, StringFault);
        QVERIFY(DBusMessageUtil::extractString(data, &error).isNull());
        QVERIFY(error);
        QVERIFY(data.isEmpty());

        data = QByteArray("\0rest", 5);
        QCOMPARE(DBusMessageUtil::extractString(data, &error), QString());
        QVERIFY(!error);
        QCOMPARE(data, QByteArray("rest"));

        QTest::ignoreMessage(QtWarningMsg, TypeFault);
        QVERIFY(!DBusMessageUtil::extractMetadataValue(56, data, &error).isValid());
        QVERIFY(error);
        QVERIFY(data.isEmpty());
    }

    void malformedBlocks_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("goodEntries");

        const QString string = QString::fromLatin1(StringFault);
        const QString numeric = QString::fromLatin1(NumericFault);
        const QString type = QString::fromLatin1(TypeFault);
        const KestMetadataEncoder good = KestMetadataEncoder().addInt(QStringLiteral("track"), 3);

        QTest::newRow("key without terminator")
            << KestMetadataEncoder(good).addBytes("title").block() << QStringList{string, numeric, numeric, type} << 1;
        QTest::newRow("short skipped word") << KestMetadataEncoder(good).addBytes(QByteArray("k\0\1\0", 4)).block()
                                            << QStringList{numeric, numeric, type} << 1;
        QTest::newRow("short type code")
            << KestMetadataEncoder().addBytes(QByteArray("k\0", 2)).addWord(1).addBytes("\x18").block()
            << QStringList{numeric, type} << 0;
        for (int code : {16, 32, 36, 56, 0, -1, 13}) {
            QTest::addRow("unsupported code %d", code)
                << KestMetadataEncoder(good).addHeader(QStringLiteral("x"), code).addWord(1).block()
                << QStringList{type} << 1;
        }
        QTest::newRow("int64 cut after 4 bytes")
            << KestMetadataEncoder().addHeader(QStringLiteral("size"), 40).addWord(5).block() << QStringList{numeric}
            << 0;
        QTest::newRow("double cut after 7 bytes")
            << KestMetadataEncoder().addHeader(QStringLiteral("d"), 60).addBytes("1234567").block()
            << QStringList{numeric} << 0;
        QTest::newRow("int cut after 3 bytes")
            << KestMetadataEncoder().addHeader(QStringLiteral("i"), 24).addBytes("123").block() << QStringList{numeric}
            << 0;
        QTest::newRow("char without its byte")
            << KestMetadataEncoder(good).addHeader(QStringLiteral("c"), 12).block() << QStringList{numeric} << 1;
        QTest::newRow("string value without terminator")
            << KestMetadataEncoder().addHeader(QStringLiteral("s"), 64).addBytes("Song").block() << QStringList{string}
            << 0;
    }

    void malformedBlocks()
    {
        QFETCH(QByteArray, block);
        QFETCH(QStringList, messages);
        QFETCH(int, goodEntries);

        KestMessageRecorder recorder;
        QMap<QString, QVariant> metadata;
        QVERIFY(!DBusMessageUtil::decodeMetadataBlock(block, metadata));
        QCOMPARE(recorder.take(), messages);
        QCOMPARE(metadata.size(), goodEntries);

        const Decoded fast = decodeBlock(block, recorder);
        QVERIFY(!fast.ok);
        QCOMPARE(fast.messages, messages);
        QCOMPARE(fast.values.size(), goodEntries);
        QCOMPARE(fast.keys.size(), goodEntries + 1); // the failing entry's key, without a value
    }

    void randomBlocksDecodeLikeTheExtractLoop()
    {
        QRandomGenerator random(20240611);
        KestMessageRecorder recorder;
        int wellFormed = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray block;
            switch (round % 3) {
            case 0: block = randomBytes(random, random.bounded(48)); break;
            case 1: block = randomEntries(random); break;
            default: {
                // A well-formed block cut or damaged at a random place.
                block = randomEntries(random);
                if (!block.isEmpty()) {
                    const int at = random.bounded(block.size());
                    if (random.bounded(2))
                        block.truncate(at);
                    else
                        block[at] = char(random.bounded(256));
                }
            }
            }
            const Decoded reference = decodeWithExtracts(block, recorder);
            const Decoded fast = decodeBlock(block, recorder);
            QVERIFY2(fast.ok == reference.ok, block.toHex().constData());
            QCOMPARE(fast.keys, reference.keys);
            QCOMPARE(fast.values, reference.values);
            QCOMPARE(fast.messages, reference.messages);
            QCOMPARE(fast.keys.size(), fast.values.size() + (fast.ok ? 0 : 1));
            wellFormed += fast.ok ? 1 : 0;
        }
        // Both kinds of block were met often enough to mean something.
        QVERIFY(wellFormed > 500);
        QVERIFY(wellFormed < 2500);
    }
};

QTEST_GUILESS_MAIN(DBusMessageUtilTest)
#include "tst_dbusmessageutil.moc"
