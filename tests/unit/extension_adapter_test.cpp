// The extension entry points' adapter and the Register Extension command,
// with the engine, the registry and the library loader faked.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ide/model/extension_adapter.h"
#include "ide/model/extension_registration.h"
#include "ide/model/ide_messages.h"

namespace tallow::ide {
namespace {

class FakeEngine : public ExtensionEngine {
public:
    int SetProperty(EngineHandle object, const char* name, EngineValue value) override {
        properties[{object, name}] = value;
        return 1;
    }
    EngineValue GetProperty(EngineHandle object, const char* name) override {
        auto it = properties.find({object, name});
        return it == properties.end() ? 0 : it->second;
    }
    std::optional<std::string> LibraryPath() override { return path; }
    void WriteRegistryString(const std::string& key, const std::string& section, const std::string& name,
                             const std::string& value) override {
        registry.push_back(key + "\\" + section + "\\" + name + "=" + value);
    }
    std::map<std::pair<EngineHandle, std::string>, EngineValue> properties;
    std::optional<std::string> path = "C:\\ext\\mine.tlx";
    std::vector<std::string> registry;
};

class Counter : public LibraryObject {
public:
    int Statement(int id) override { return count += id; }
    double NumFunction(int id) override { return count * 1.5 + id; }
    std::string StringFunction(int id) override { return "n" + std::to_string(count + id); }
    std::string StatementNames() const override { return "add|reset"; }
    std::string NumFunctionNames() const override { return "value"; }
    std::string StringFunctionNames() const override { return ""; }
    int count = 0;
};

std::string ExpectError(const std::function<void()>& call) {
    try {
        call();
    } catch (const ExtensionError& e) {
        return e.what();
    }
    return "no error";
}

TEST(ExtensionAdapter, WithoutHandlersEveryEntryPointFails) {
    FakeEngine engine;
    ExtensionAdapter adapter(engine);
    int handle = 0;
    EXPECT_EQ(ExpectError([&] { adapter.RegisterExtension(); }), msg::kOnQueryFactoryNameNotImplemented);
    adapter.onQueryFactoryName = [](int) { return std::string(); };
    EXPECT_EQ(ExpectError([&] { adapter.RegisterExtension(); }), msg::kOnQueryObjectNameNotImplemented);
    EXPECT_TRUE(engine.registry.empty());
    EXPECT_EQ(ExpectError([&] { adapter.CreateExtensionObject(&handle, 0, nullptr, nullptr, nullptr); }),
              msg::kOnNewNotImplemented);
    EXPECT_EQ(ExpectError([&] { adapter.DestroyExtensionObject(&handle, 0); }), msg::kOnDeleteNotImplemented);
    double number = 4;
    const char* text = nullptr;
    EXPECT_EQ(adapter.ProcessStatement(&handle, 1), 0);
    EXPECT_EQ(adapter.ProcessNumFunction(&handle, 1, &number), 0);
    EXPECT_EQ(adapter.ProcessStringFunction(&handle, 1, &text), 0);
    EXPECT_EQ(number, 4);
    EXPECT_EQ(text, nullptr);
}

TEST(ExtensionAdapter, RegistersEveryNameWithItsIndexAndPath) {
    FakeEngine engine;
    ExtensionAdapter adapter(engine);
    std::vector<std::string> factories{"counter", "timer"};
    adapter.onQueryFactoryName = [&](int i) { return i < 2 ? factories[i] : ""; };
    adapter.onQueryObjectName = [](int i) { return i == 0 ? std::string("clock") : ""; };
    EXPECT_EQ(adapter.RegisterExtension(), 1);
    std::string key = kExtensionsKey;
    EXPECT_EQ(engine.registry, (std::vector<std::string>{key + "\\Factories\\counter=0;C:\\ext\\mine.tlx",
                                                         key + "\\Factories\\timer=1;C:\\ext\\mine.tlx",
                                                         key + "\\Objects\\clock=0;C:\\ext\\mine.tlx"}));
    engine.registry.clear();
    engine.path.reset();
    EXPECT_EQ(ExpectError([&] { adapter.RegisterExtension(); }), msg::kCannotGetLibraryFileName);
    EXPECT_TRUE(engine.registry.empty());
}

TEST(ExtensionAdapter, ObjectsLiveFromCreateToDestroy) {
    FakeEngine engine;
    ExtensionAdapter adapter(engine);
    std::vector<std::unique_ptr<Counter>> made;
    int deletedData = 0;
    adapter.onNew = [&](EngineHandle, EngineValue) { return made.emplace_back(new Counter).get(); };
    adapter.onDelete = [&](LibraryObject* object, EngineValue data) {
        deletedData = static_cast<int>(data);
        std::erase_if(made, [&](const auto& p) { return p.get() == object; });
        return 1;
    };
    int handle = 0;
    const char* statements = nullptr;
    const char* numbers = nullptr;
    const char* strings = nullptr;
    ASSERT_EQ(adapter.CreateExtensionObject(&handle, 7, &statements, &numbers, &strings), 1);
    EXPECT_EQ(std::string(statements, 11), std::string("add\0reset\0\0", 11));
    EXPECT_EQ(std::string(numbers, 7), std::string("value\0\0", 7));
    EXPECT_EQ(std::string(strings, 2), std::string("\0\0", 2));

    EXPECT_EQ(adapter.ProcessStatement(&handle, 2), 2);
    double number = 0;
    ASSERT_EQ(adapter.ProcessNumFunction(&handle, 1, &number), 1);
    EXPECT_EQ(number, 4.0);
    const char* first = nullptr;
    const char* second = nullptr;
    adapter.ProcessStringFunction(&handle, 1, &first);
    EXPECT_STREQ(first, "n3");
    adapter.ProcessStringFunction(&handle, 2, &second);
    EXPECT_STREQ(second, "n4");
    EXPECT_EQ(adapter.ProcessStringFunction(&handle, 2, nullptr), 1);

    EXPECT_EQ(adapter.DestroyExtensionObject(&handle, 7), 1);
    EXPECT_EQ(deletedData, 7);
    EXPECT_TRUE(made.empty());
    int other = 0;
    EXPECT_EQ(adapter.DestroyExtensionObject(&other, 1), 0);
}

class FakeLibrary : public ExtensionLibrary {
public:
    FakeLibrary(bool hasEntry, int result, std::vector<std::string>& log)
        : hasEntry_(hasEntry), result_(result), log_(log) {}
    ~FakeLibrary() override { log_.push_back("unloaded"); }
    bool HasRegisterExtension() override { return hasEntry_; }
    int CallRegisterExtension() override {
        log_.push_back("called");
        return result_;
    }

private:
    bool hasEntry_;
    int result_;
    std::vector<std::string>& log_;
};

class FakeRegistrationHost : public ExtensionRegistrationHost {
public:
    std::optional<std::string> ChooseExtension(const FileDialogRequest& request) override {
        log.push_back("choose " + request.filter);
        return choice;
    }
    std::unique_ptr<ExtensionLibrary> Load(const std::string& path) override {
        log.push_back("load " + path);
        if (!loads) return nullptr;
        return std::make_unique<FakeLibrary>(hasEntry, result, log);
    }
    void ShowError(const std::string& text) override { log.push_back("error " + text); }
    void ShowInformation(const std::string& text) override { log.push_back("info " + text); }

    std::optional<std::string> choice = "x.tlx";
    bool loads = true, hasEntry = true;
    int result = 1;
    std::vector<std::string> log;
};

TEST(RegisterExtensionCommand, EachOutcomeUnloadsBeforeItsMessage) {
    FakeRegistrationHost host;
    EXPECT_EQ(RegisterExtensionCommand(host), RegistrationResult::Registered);
    EXPECT_EQ(host.log, (std::vector<std::string>{"choose Tallow Extensions|*.tlx", "load x.tlx", "called",
                                                  "unloaded", "info Extension registered successfully!"}));
    host.log.clear();
    host.hasEntry = false;
    EXPECT_EQ(RegisterExtensionCommand(host), RegistrationResult::NoEntryPoint);
    EXPECT_EQ(host.log.back(), "error Extension library cannot self-register");
    EXPECT_EQ(host.log[host.log.size() - 2], "unloaded");
    host.hasEntry = true;
    host.result = 0;
    EXPECT_EQ(RegisterExtensionCommand(host), RegistrationResult::Refused);
    EXPECT_EQ(host.log.back(), "error Extension library failed to self-register");
    host.loads = false;
    EXPECT_EQ(RegisterExtensionCommand(host), RegistrationResult::LoadFailed);
    EXPECT_EQ(host.log.back(), "error Could not load extension library");
    host.log.clear();
    host.choice.reset();
    EXPECT_EQ(RegisterExtensionCommand(host), RegistrationResult::Cancelled);
    EXPECT_EQ(host.log.size(), 1u);
}

}  // namespace
}  // namespace tallow::ide
