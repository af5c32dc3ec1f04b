#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>
#include <vector>

#include "AppTestSupport.h"
#include "app/mainForm.h"

namespace apptest {

// A FakePrompter that also records save dialogs and answers them with `saveAnswer`.
class SavePrompter : public FakePrompter {
  public:
    QString ChooseSaveFile(QWidget*, const SaveRequest& request) override {
        saveRequests.push_back(request);
        return saveAnswer;
    }

    std::vector<SaveRequest> saveRequests;
    QString saveAnswer;
};

// The main window started in a scratch folder with an empty settings store.
class MainFormFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ClearStore();
        ASSERT_TRUE(folder_.isValid());
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(folder_.path());
        prompter_.defaultAnswer = zorix::Prompter::Answer::No;
    }
    void TearDown() override {
        form_.reset();
        QDir::setCurrent(previousDir_);
        ClearStore();
    }

    zorix::mainForm& Start() {
        form_ = std::make_unique<zorix::mainForm>(prompter_);
        form_->Startup();
        form_->show();
        QApplication::processEvents();
        return *form_;
    }

    QString Folder() const { return QDir(folder_.path()).canonicalPath(); }
    QString FilePath(const QString& name) const { return Folder() + "/" + name; }

    QTreeWidgetItem* Item(const QString& name) {
        const auto found = form_->llist()->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }

    // Selects a listed file as a click would.
    void Select(const QString& name) {
        QTreeWidgetItem* item = Item(name);
        ASSERT_NE(item, nullptr) << name.toStdString();
        form_->llist()->setCurrentItem(item);
    }

    QTemporaryDir folder_;
    QString previousDir_;
    SavePrompter prompter_;
    std::unique_ptr<zorix::mainForm> form_;
};

}  // namespace apptest
