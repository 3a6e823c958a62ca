// A scripted file dialog and message box: each question takes the next answer (a
// path; an empty one, or none left, is a cancelled dialog). Messages are recorded.
#pragma once

#include "app/FileDialogs.h"

#include <deque>
#include <vector>

namespace kinemo::test {

class FakeFileDialogs final : public FileDialogs {
public:
    std::optional<QString> askSavePath(const QStringList&) override { return next(); }
    std::optional<QString> askOpenPath(const QStringList&) override { return next(); }
    void showMessage(const QString& text) override { messages.push_back(text); }

    std::deque<QString> answers;
    std::vector<QString> messages;

private:
    std::optional<QString> next() {
        if (answers.empty()) return std::nullopt;
        const QString answer = answers.front();
        answers.pop_front();
        if (answer.isEmpty()) return std::nullopt;
        return answer;
    }
};

}  // namespace kinemo::test
