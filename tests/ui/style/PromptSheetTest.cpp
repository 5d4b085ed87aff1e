// The naming sheet hands back exactly what was typed, or nothing when cancelled.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ui/style/PromptSheet.h"

using namespace quellor;

namespace {
struct Prompt {
    QWidget window;
    PromptSheet* sheet = new PromptSheet(&window);
    std::vector<QString> done;

    void present(const QString& initial) {
        sheet->present({"New setup", initial, "Setup name", [this](const QString& text) { done.push_back(text); }});
    }
    void click(const char* name) { QTest::mouseClick(sheet->findChild<QPushButton*>(name), Qt::LeftButton); }
};
}  // namespace

TEST(PromptSheet, ConfirmHandsBackTheFieldUntouched) {
    struct Case {
        QString initial, typed;
        bool useReturn;
        QString expected;
    };
    const Case cases[] = {
        {"", "", false, ""},                      // empty is the caller's to judge
        {"", "  Live set  ", true, "  Live set  "},  // no trimming, Return confirms too
        {"Mix", "", false, "Mix"},                // confirming without typing keeps the initial text
    };
    for (const auto& c : cases) {
        Prompt p;
        p.present(c.initial);
        EXPECT_EQ(p.sheet->title(), "New setup");
        EXPECT_EQ(p.sheet->field()->placeholderText(), "Setup name");
        if (!c.typed.isEmpty()) {
            p.sheet->field()->clear();
            QTest::keyClicks(p.sheet->field(), c.typed);
        }
        if (c.useReturn) QTest::keyClick(p.sheet->field(), Qt::Key_Return);
        else p.click("prompt-ok");
        ASSERT_EQ(p.done.size(), 1u);
        EXPECT_EQ(p.done[0], c.expected);
        EXPECT_FALSE(p.sheet->isVisible());
    }
}

TEST(PromptSheet, CancelCallsNothingAndTheNextPresentationStartsAfresh) {
    Prompt p;
    p.present("Mix");
    QTest::keyClicks(p.sheet->field(), " typed");
    p.click("prompt-cancel");
    EXPECT_FALSE(p.sheet->isVisible());
    p.present("Mix");
    EXPECT_EQ(p.sheet->text(), "Mix");
    QTest::keyClick(p.sheet, Qt::Key_Escape);
    EXPECT_FALSE(p.sheet->isVisible());
    EXPECT_TRUE(p.done.empty());
}
