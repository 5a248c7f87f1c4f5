// Help > About: the About box, modal, with its text filled once, left by OK.

#include "KestrelFixture.h"
#include "app/frmMain.h"
#include "ui/Forms.h"
#include "ui/frmAbout.h"
#include "ui/look.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {
const QChar CR(13);
const QString kAboutText = QStringLiteral("Quillbox for Kestrel") + CR +
                           QStringLiteral("Made by the Quillbox developers") + CR + CR +
                           QStringLiteral("Copyright (c) 2026 the Quillbox developers. "
                                          "All rights reserved.") +
                           CR + QStringLiteral("https://quillbox.invalid");
} // namespace

class AboutTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheSameTextTwice();
    void labelIsFilledOnlyOnce();
    void okButtonClosesIt();
};

void AboutTest::showsTheSameTextTwice() {
    KestrelFixture fx;
    frmMain& main = ui::Forms::get<frmMain>();
    QStringList seen;
    for (int showing = 0; showing < 2; ++showing)
        fx.platform().play<frmAbout>([&seen](frmAbout& d) {
            seen << ui::caption(d.label1);
            QVERIFY(d.isVisible());
            d.cmdOK_Click();
        });

    main.mnuHelpAbout_Click();
    main.mnuHelpAbout_Click();

    QCOMPARE(seen, QStringList({kAboutText, kAboutText}));
    QCOMPARE(fx.platform().shownDialogs, QStringList({"frmAbout", "frmAbout"}));
    QVERIFY(!ui::Forms::get<frmAbout>().isVisible());
    QVERIFY(fx.platform().messages.isEmpty());
    // The CR line breaks show as lines of the label: name, credits, an empty
    // line, rights, web address.
    QCOMPARE(ui::Forms::get<frmAbout>().label1->text().split(u'\n').size(), 5);
}

void AboutTest::labelIsFilledOnlyOnce() {
    KestrelFixture fx;
    frmMain& main = ui::Forms::get<frmMain>();
    frmAbout& about = ui::Forms::get<frmAbout>();
    fx.platform().play<frmAbout>([](frmAbout& d) { d.cmdOK_Click(); });
    main.mnuHelpAbout_Click();

    // The box is hidden, not destroyed, and keeps its label: a second showing
    // does not fill it again.
    ui::setCaption(about.label1, QStringLiteral("kept between showings"));
    QString second;
    fx.platform().play<frmAbout>([&second](frmAbout& d) {
        second = ui::caption(d.label1);
        d.cmdOK_Click();
    });
    main.mnuHelpAbout_Click();
    QCOMPARE(&ui::Forms::get<frmAbout>(), &about);
    QCOMPARE(second, QStringLiteral("kept between showings"));
}

void AboutTest::okButtonClosesIt() {
    KestrelFixture fx;
    frmMain& main = ui::Forms::get<frmMain>();
    fx.platform().play<frmAbout>([](frmAbout& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("About the Quillbox ..."));
        QVERIFY(!d.hasCloseBox());
        // The button is inside the box and clear of the label.
        QVERIFY(d.rect().contains(d.cmdOK->geometry()));
        QVERIFY(!d.label1->geometry().intersects(d.cmdOK->geometry()));
        QCOMPARE(d.cmdOK->text(), QStringLiteral("OK"));
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    });
    main.mnuHelpAbout_Click();
    QVERIFY(!ui::Forms::get<frmAbout>().isVisible());
    QCOMPARE(fx.platform().pendingPlayers(), 0);
}

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
