// A scripted file dialog and message box: each Show call takes the next answer
// (a path; an empty one, or none left, is a cancelled dialog) and may run code while "open", as the
// timer does while a real modal dialog is up. Messages are recorded.
#pragma once

#include "app/FileDialogs.h"

#include <deque>
#include <functional>
#include <vector>

namespace kinemo::test {

class FakeFileDialogs final : public FileDialogs {
public:
    std::optional<QString> askSavePath(const QStringList& nameFilters) override { return next(nameFilters); }
    std::optional<QString> askOpenPath(const QStringList& nameFilters) override { return next(nameFilters); }
    void showMessage(const QString& text) override { messages.push_back(text); }

    std::deque<QString> answers;
    std::function<void()> whileOpen;
    std::vector<QStringList> filters;
    std::vector<QString> messages;

private:
    std::optional<QString> next(const QStringList& nameFilters) {
        filters.push_back(nameFilters);
        if (whileOpen) whileOpen();
        const QString answer = answers.empty() ? QString() : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer.isEmpty() ? std::nullopt : std::optional(answer);
    }
};

}  // namespace kinemo::test
