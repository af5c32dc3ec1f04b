#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "AppTestSupport.h"
#include "app/QtPrompter.h"
#include "app/batchForm.h"

namespace {

// Plays a user at the keyboard: whatever modal dialog comes up gets the next step.
class KeyboardUser {
  public:
    using Step = std::function<bool(QWidget*)>;  // true when the step was done

    explicit KeyboardUser(std::vector<Step> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(20);
    }
    size_t Done() const { return next_; }

  private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || next_ >= steps_.size() || modal == last_) {
            return;
        }
        if (steps_[next_](modal)) {
            last_ = modal;
            ++next_;
        }
    }

    std::vector<Step> steps_;
    size_t next_ = 0;
    QWidget* last_ = nullptr;
    QTimer timer_;
};

// Types names into the open dialog's file name box and confirms.
KeyboardUser::Step TypeFileNames(const QString& names) {
    return [names](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        auto* edit = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
        auto* view = dialog ? dialog->findChild<QAbstractItemView*>("listView") : nullptr;
        // A person looks at the folder before typing; the dialog lists it in the background.
        if (edit == nullptr || view == nullptr || view->model()->rowCount(view->rootIndex()) == 0) {
            return false;
        }
        QApplication::setActiveWindow(dialog);
        edit->setFocus();
        QTest::keyClicks(edit, names);
        QTest::keyClick(edit, Qt::Key_Return);
        return true;
    };
}

KeyboardUser::Step PressReturn(QString* text) {
    return [text](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            return false;
        }
        *text = box->text();
        QApplication::setActiveWindow(box);
        QTest::keyClick(box, Qt::Key_Return);
        return true;
    };
}

TEST(BatchKeyboard, FilesTypedIntoTheOpenDialogAreAddedAndConverted) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString dir = QDir(scratch.path()).canonicalPath();
    apptest::WriteBytes(dir + "/a.bmp", apptest::MakeDeviceBitmap(20, 10, 4, false));
    apptest::WriteBytes(dir + "/b.bmp", apptest::MakeDeviceBitmap(12, 8, 3, true));
    apptest::WriteBytes(dir + "/bad.bmp", {'j', 'u', 'n', 'k'});
    QDir().mkpath(dir + "/out");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir);

    zorix::QtPrompter prompter;
    zorix::batchForm form(prompter);
    form.setVolumeRoots({});
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    QString complete;
    KeyboardUser user({TypeFileNames("\"a.bmp\" \"bad.bmp\" \"b.bmp\""), PressReturn(&complete)});
    QTest::keyClick(&form, Qt::Key_A, Qt::AltModifier);
    ASSERT_EQ(form.llist()->topLevelItemCount(), 3);
    // The keyboard comes back to the window once the dialog is gone.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    QTest::keyClick(&form, Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), form.trgType());
    QTest::keyClick(form.trgType(), Qt::Key_Down);
    QTest::keyClick(form.trgType(), Qt::Key_Down);
    QTest::keyClick(form.trgType(), Qt::Key_Down);
    QTest::keyClick(form.trgType(), Qt::Key_Down);
    EXPECT_EQ(form.trgType()->currentText(), "PNG");
    QTest::keyClick(&form, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), form.trgFolder());
    QTest::keyClicks(form.trgFolder(), dir + "/out");
    QTest::keyClick(&form, Qt::Key_E, Qt::AltModifier);

    EXPECT_EQ(user.Done(), 2u);
    EXPECT_EQ(complete, "Batch conversion complete.");
    QStringList statuses;
    for (int i = 0; i < form.llist()->topLevelItemCount(); ++i) {
        statuses << form.llist()->topLevelItem(i)->text(1);
    }
    // The dialog lists the typed names in its own order; each row keeps its outcome.
    for (int i = 0; i < form.llist()->topLevelItemCount(); ++i) {
        const QString name = form.llist()->topLevelItem(i)->text(0);
        EXPECT_EQ(statuses[i], name == "bad.bmp" ? "error loading image" : "done")
            << name.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(dir + "/out/a.png"));
    EXPECT_TRUE(QFileInfo::exists(dir + "/out/b.png"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_C, Qt::AltModifier);
    EXPECT_FALSE(form.isVisible());
    QDir::setCurrent(previous);
}

}  // namespace
