// A document host for tests: files and registry values in maps, prompts
// answered from a queue, and every box and dialog recorded.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ide/model/document_host.h"

namespace tallow::ide {

class FakeDocumentHost : public DocumentHost {
public:
    struct Prompt {
        std::string text;
        bool withNo;
    };

    SaveAnswer AskSave(const std::string& text, bool withNo) override {
        prompts.push_back({text, withNo});
        SaveAnswer answer = answers.empty() ? SaveAnswer::Cancel : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
    std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override {
        lastRequest = request;
        return Take(openChoices);
    }
    std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override {
        lastRequest = request;
        return Take(saveChoices);
    }
    void SetTitle(const std::string& text) override { title = text; }
    std::string FullPath(const std::string& path) override {
        return path.starts_with("/") ? path : "/work/" + path;
    }
    bool FileExists(const std::string& path) override { return files.contains(path); }
    bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) override {
        auto it = files.find(path);
        if (it == files.end()) return false;
        bytes = it->second;
        return true;
    }
    bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override {
        if (failWrites) return false;
        files[path] = bytes;
        return true;
    }
    std::string ReadRegistryString(const std::string& key, const std::string& section,
                                   const std::string& name) override {
        auto it = registry.find(key + "|" + section + "|" + name);
        return it == registry.end() ? "" : it->second;
    }
    void WriteRegistryString(const std::string& key, const std::string& section, const std::string& name,
                             const std::string& value) override {
        registry[key + "|" + section + "|" + name] = value;
    }
    void EraseRegistrySection(const std::string& key, const std::string& section) override {
        std::string prefix = key + "|" + section + "|";
        std::erase_if(registry, [&](const auto& entry) { return entry.first.starts_with(prefix); });
    }

    std::deque<SaveAnswer> answers;
    std::deque<std::string> openChoices, saveChoices;  // empty: the dialog is cancelled
    std::vector<Prompt> prompts;
    std::vector<std::string> warnings;
    FileDialogRequest lastRequest;
    std::string title;
    std::map<std::string, std::vector<uint8_t>> files;
    std::map<std::string, std::string> registry;
    bool failWrites = false;

private:
    static std::optional<std::string> Take(std::deque<std::string>& choices) {
        if (choices.empty()) return std::nullopt;
        std::string choice = choices.front();
        choices.pop_front();
        return choice;
    }
};

}  // namespace tallow::ide
