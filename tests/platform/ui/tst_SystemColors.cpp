// A control's own font colour shows while it is enabled; disabled, it is
// drawn greyed as Windows draws it, whatever colour the form gave it.

#include "TestMain.h"
#include "ui/SystemColors.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <memory>

using namespace platform;

class TestSystemColors : public QObject {
    Q_OBJECT
private slots:
    void disabledControlIsGreyedWhateverItsFontColour_data()
    {
        QTest::addColumn<std::function<QWidget *()>>("make");
        QTest::addColumn<int>("role");
        QTest::newRow("clickable text") << std::function<QWidget *()>([] {
            return new QLabel(QStringLiteral("Nastavení uživatelů"));
        }) << int(QPalette::WindowText);
        QTest::newRow("button") << std::function<QWidget *()>([] { return new QPushButton(QStringLiteral("Zavřít")); })
                                << int(QPalette::ButtonText);
        QTest::newRow("edit") << std::function<QWidget *()>([] { return new QLineEdit(QStringLiteral("SYSDBA")); })
                              << int(QPalette::Text);
    }

    void disabledControlIsGreyedWhateverItsFontColour()
    {
        QFETCH(std::function<QWidget *()>, make);
        QFETCH(int, role);
        const auto colourRole = QPalette::ColorRole(role);
        std::unique_ptr<QWidget> control(make());
        setFontColor(control.get(), clNavy);
        control->show();
        QVERIFY(QTest::qWaitForWindowExposed(control.get()));
        QCOMPARE(control->palette().color(colourRole), clNavy);

        control->setEnabled(false);
        const QColor disabled = control->palette().color(colourRole);
        QCOMPARE(disabled, QApplication::palette(control.get()).color(QPalette::Disabled, colourRole));
        QVERIFY(disabled != clNavy);
    }
};

ZELO_TEST_MAIN(TestSystemColors)
#include "tst_SystemColors.moc"
