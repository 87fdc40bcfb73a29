#include "advancedlock.h"
#include "cameratypes.h"
#include "configstore.h"
#include "ipsettingscontrol.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestAdvancedLock : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ConfigStore> m_store;

private slots:
    void initTestCase() { registerCameraTypes(); }

    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir.path()));
        m_store = std::make_unique<ConfigStore>(m_dir.path(), m_dir.path());
    }

    void passwordRules_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("valid");
        QTest::newRow("printable mix") << QStringLiteral("aZ09!#$%&'()*+,-.:;<=>?@[\\]^_`{|}~") << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("space") << QStringLiteral("ab cd") << false;
        QTest::newRow("double quote") << QStringLiteral("ab\"cd") << false;
        QTest::newRow("slash") << QStringLiteral("ab/cd") << false;
        QTest::newRow("non-ASCII") << QStringLiteral("ab\u00e9cd") << false;
        QTest::newRow("control char") << QStringLiteral("ab\tcd") << false;
        QTest::newRow("delete char") << QStringLiteral("ab\x7f") << false;
    }
    void passwordRules()
    {
        QFETCH(QString, password);
        QFETCH(bool, valid);
        QCOMPARE(isValidPassword(password), valid);
    }

    // The stored password is "Secret1"; the lock starts closed (Unlock) or open (Lock).
    void lockEntry_data()
    {
        QTest::addColumn<bool>("unlock");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("message");
        const int refused = LockOutcome::Refused, switched = LockOutcome::Switched;
        QTest::newRow("production test") << true << "benchaccess" << int(LockOutcome::ProductionTest) << QString();
        QTest::newRow("production test, case")
            << true << "BenchAccess" << refused << "Failed to unlock, wrong password!";
        QTest::newRow("master") << true << "camuser" << switched << QString();
        QTest::newRow("master, case") << true << "CamUser" << refused << "Failed to unlock, wrong password!";
        QTest::newRow("stored") << true << "Secret1" << switched << QString();
        QTest::newRow("stored, case") << true << "secret1" << refused << "Failed to unlock, wrong password!";
        QTest::newRow("empty") << true << "" << refused << "Failed to unlock, password is empty!";
        QTest::newRow("lock, stored") << false << "Secret1" << switched << QString();
        QTest::newRow("lock, empty") << false << "" << refused << "Failed to lock, password is empty!";
        QTest::newRow("lock, wrong") << false << "Secret2" << refused << "Failed to lock, wrong password!";
        QTest::newRow("lock, production test")
            << false << "benchaccess" << int(LockOutcome::ProductionTest) << QString();
    }
    void lockEntry()
    {
        QFETCH(bool, unlock);
        QFETCH(QString, entered);
        QFETCH(int, action);
        QFETCH(QString, message);
        m_store->write(ConfigGroup::Base, BaseKey::UnlockPassword, QStringLiteral("Secret1"));
        m_store->write(ConfigGroup::Base, BaseKey::StayUnlocked, !unlock);
        AdvancedLock lock(*m_store);
        QCOMPARE(lock.isUnlocked(), !unlock);
        QSignalSpy changed(&lock, &AdvancedLock::advWdigetUnlockStateChanged);
        QSignalSpy productionTest(&lock, &AdvancedLock::productionTestRequested);

        const LockOutcome outcome = lock.submit(unlock ? LockOperation::Unlock : LockOperation::Lock, entered, false);
        QCOMPARE(int(outcome.action), action);
        QCOMPARE(outcome.message, message);
        const bool switches = action == LockOutcome::Switched;
        QCOMPARE(lock.isUnlocked(), unlock == switches);
        QCOMPARE(changed.count(), switches ? 1 : 0);
        if (switches)
            QCOMPARE(changed.first().first().toBool(), unlock);
        QCOMPARE(productionTest.count(), action == LockOutcome::ProductionTest ? 1 : 0);
    }

    void passwordChange_data()
    {
        QTest::addColumn<QString>("original");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        const QString rules = QStringLiteral("The password may contain printable ASCII characters only, except the "
                                             "space, the double quote and the slash, and may not be a reserved code!");
        QTest::newRow("from stored") << "Secret1"
                                     << "New#1"
                                     << "New#1" << QString();
        QTest::newRow("from master") << "camuser"
                                     << "New#1"
                                     << "New#1" << QString();
        QTest::newRow("wrong original") << "Secret2"
                                        << "New#1"
                                        << "New#1"
                                        << "Wrong original password!";
        QTest::newRow("mismatch") << "Secret1"
                                  << "New#1"
                                  << "New#2"
                                  << "Inconsistency between two new passwords!";
        QTest::newRow("empty original") << ""
                                        << "New#1"
                                        << "New#1"
                                        << "Input can not be empty!";
        QTest::newRow("empty new") << "Secret1"
                                   << ""
                                   << ""
                                   << "Input can not be empty!";
        QTest::newRow("slash") << "Secret1"
                               << "a/b"
                               << "a/b" << rules;
        QTest::newRow("production code") << "Secret1"
                                         << "benchaccess"
                                         << "benchaccess" << rules;
    }
    void passwordChange()
    {
        QFETCH(QString, original);
        QFETCH(QString, newPassword);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QCOMPARE(passwordChangeError(original, newPassword, confirm, QStringLiteral("Secret1")), message);
    }

    // Only an unlock with "Stay Unlocked" keeps the lock open for the next start.
    void stayUnlocked()
    {
        {
            AdvancedLock lock(*m_store);
            QVERIFY(!lock.isUnlocked());
            lock.submit(LockOperation::Unlock, QStringLiteral("camuser"), true);
        }
        {
            AdvancedLock lock(*m_store);
            QVERIFY(lock.isUnlocked());
            lock.submit(LockOperation::Lock, QStringLiteral("camuser"), false);
        }
        {
            AdvancedLock lock(*m_store);
            QVERIFY(!lock.isUnlocked());
            lock.submit(LockOperation::Unlock, QStringLiteral("camuser"), false);
        }
        QVERIFY(!AdvancedLock(*m_store).isUnlocked());
    }

    void ipInput_data()
    {
        QTest::addColumn<bool>("dhcp");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("netmask");
        QTest::addColumn<QString>("gateway");
        QTest::addColumn<QString>("dns");
        QTest::addColumn<QString>("message");
        const QString ip = QStringLiteral("Invalid IP address!");
        const QString mask = QStringLiteral("Invalid subnet mask!");
        QTest::newRow("valid") << false << "192.168.1.20"
                               << "255.255.255.0"
                               << "192.168.1.1"
                               << "8.8.8.8, 1.1.1.1" << QString();
        QTest::newRow("no gateway, no dns") << false << "10.0.0.5"
                                            << "255.0.0.0"
                                            << ""
                                            << "" << QString();
        QTest::newRow("dhcp ignores fields") << true << ""
                                             << ""
                                             << ""
                                             << "" << QString();
        QTest::newRow("empty address") << false << ""
                                       << "255.255.255.0"
                                       << ""
                                       << "" << ip;
        QTest::newRow("octet over 255") << false << "192.168.1.256"
                                        << "255.255.255.0"
                                        << ""
                                        << "" << ip;
        QTest::newRow("shorthand") << false << "10.1"
                                   << "255.0.0.0"
                                   << ""
                                   << "" << ip;
        QTest::newRow("multicast") << false << "224.0.0.1"
                                   << "255.255.255.0"
                                   << ""
                                   << "" << ip;
        QTest::newRow("mask with a hole") << false << "192.168.1.20"
                                          << "255.0.255.0"
                                          << ""
                                          << "" << mask;
        QTest::newRow("mask all ones") << false << "192.168.1.20"
                                       << "255.255.255.255"
                                       << ""
                                       << "" << mask;
        QTest::newRow("broadcast address") << false << "192.168.1.255"
                                           << "255.255.255.0"
                                           << ""
                                           << ""
                                           << "The IP address is the network or broadcast address of its subnet!";
        QTest::newRow("gateway elsewhere") << false << "192.168.1.20"
                                           << "255.255.255.0"
                                           << "192.168.2.1"
                                           << ""
                                           << "The gateway must be another address in the subnet of the IP address!";
        QTest::newRow("gateway text") << false << "192.168.1.20"
                                      << "255.255.255.0"
                                      << "router"
                                      << ""
                                      << "Invalid gateway!";
        QTest::newRow("bad dns") << false << "192.168.1.20"
                                 << "255.255.255.0"
                                 << ""
                                 << "8.8.8"
                                 << "Invalid DNS server!";
    }
    // Apply sends valid settings and refuses the rest with a message.
    void ipInput()
    {
        QFETCH(bool, dhcp);
        QFETCH(QString, address);
        QFETCH(QString, netmask);
        QFETCH(QString, gateway);
        QFETCH(QString, dns);
        QFETCH(QString, message);
        IpSettingsControl control;
        QStringList warnings;
        control.showWarning = [&warnings](QWidget *, const QString &text) { warnings << text; };
        QSignalSpy sent(&control, &IpSettingsControl::setCameraIp);
        IpInfo info;
        info.dhcp = dhcp;
        info.address = address;
        info.netmask = netmask;
        info.gateway = gateway;
        info.dns = dns;
        info.mac = QStringLiteral("00:11:22:33:44:55");
        control.onRecvIpInfo(info);
        control.onApply();

        QCOMPARE(warnings, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(sent.count(), message.isEmpty() ? 1 : 0);
        if (message.isEmpty()) {
            const IpInfo out = sent.first().first().value<IpInfo>();
            QCOMPARE(out.address, address);
            QCOMPARE(out.dns, dns);
            QCOMPARE(out.mac, info.mac);
        }
    }
};

QTEST_MAIN(TestAdvancedLock)
#include "tst_advancedlock.moc"
