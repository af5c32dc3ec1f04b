#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <deque>
#include <string>
#include <vector>

#include "app/Prompter.h"

namespace apptest {

// Records every message box and answers from a queue (then with the default).
class FakePrompter : public zorix::Prompter {
  public:
    struct Shown {
        QString text;
        QString title;
        Icon icon;
        Buttons buttons;
    };

    Answer MessageBox(QWidget*, const QString& text, const QString& title, Icon icon,
                      Buttons buttons) override {
        shown.push_back({text, title, icon, buttons});
        if (answers.empty()) {
            return defaultAnswer;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString ChooseFolder(QWidget*, const QString& title) override {
        folderTitles << title;
        return folderAnswer;
    }
    QString ChooseSaveFile(QWidget*, const SaveRequest&) override { return QString(); }
    QStringList ChooseOpenFiles(QWidget*, const OpenRequest&) override { return {}; }

    std::vector<Shown> shown;
    std::deque<Answer> answers;
    Answer defaultAnswer = Answer::Yes;
    QStringList folderTitles;
    QString folderAnswer;
};

// The program's settings store, emptied.
inline void ClearStore() {
    QSettings store(QSettings::UserScope, "vk-Dev", "Zorix");
    store.clear();
    store.sync();
    QSettings machine(QSettings::SystemScope, "vk-Dev", "Zorix");
    machine.clear();
    machine.sync();
}

inline bool StoreHas(const QString& name) {
    return QSettings(QSettings::UserScope, "vk-Dev", "Zorix").contains(name);
}

inline QString StoreValue(const QString& name) {
    return QSettings(QSettings::UserScope, "vk-Dev", "Zorix").value(name).toString();
}

inline void StoreSet(const QString& name, const QVariant& value) {
    QSettings(QSettings::UserScope, "vk-Dev", "Zorix").setValue(name, value);
}

// A device bitmap of width x height with `colors` palette entries, its codes
// cycling through the palette so that rows do not compress; padded with zero
// bytes to `padTo` when that is larger. Code 0 (transparent) at (0, 0).
std::vector<uint8_t> MakeDeviceBitmap(int width, int height, int colors, bool hasAlpha,
                                      size_t padTo = 0);
void WriteBytes(const QString& path, const std::vector<uint8_t>& bytes);

}  // namespace apptest
