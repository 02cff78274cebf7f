// One board opened through the runtime for the length of a command (or a shell session): the
// applet's parameter list joined with its description records, and reading and writing
// parameters as their records type them. Every failing call becomes a Failure whose text names
// the operation, the parameter, the code and its meaning.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "error_texts.h"
#include "host.h"
#include "orvanta/parameter_info_node.h"
#include "sim_control.h"
#include "values.h"

namespace orvanta_tool {

// The exit statuses of the tool.
enum ExitStatus : int { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2, kExitOpenFailure = 3 };

// A failed operation; the text is what the user reads. A command whose JSON output holds the
// failure already marks it as reported, so that no second JSON object follows.
class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& text, int32_t code = 0, bool reported = false)
        : std::runtime_error(text), code_(code), reported_(reported) {}
    int32_t code() const { return code_; }
    bool reported() const { return reported_; }

private:
    int32_t code_;
    bool reported_;
};

// "<operation>: <code> <meaning>", the form every failed call is reported in.
std::string callFailure(const std::string& operation, int32_t code, Call call, const std::string& detail = {});

// Messages to standard error: errors always, notes with -v only, news (what the tool did on the
// user's behalf) unless -q.
class Console {
public:
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    std::string linePrefix;  // the shell's "line N: "

    void error(const std::string& text) const;
    void warning(const std::string& text) const;
    void news(const std::string& text) const;
    void note(const std::string& text) const;
    // With --json, a failure as a JSON object on standard output: {"error": {"code", "message"}}.
    void jsonFailure(const std::string& text, int32_t code) const;
};

struct Parameter {
    int32_t index = -1;  // position in the applet's list; -1 for an id or name outside it
    int32_t id = 0;
    std::string name;
    const ParameterInfoNode* node = nullptr;  // its description record, when it has one
    std::string category;                     // the record's categories, "Trigger / Queue"

    bool readable() const { return node == nullptr || (node->access & 1u) != 0; }
    bool writable() const { return node != nullptr && (node->access & 2u) != 0; }
};

class Session {
public:
    // Throws Failure with the runtime's reason when the applet cannot be opened.
    Session(const std::string& applet, uint32_t board, Console& console);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void* handle() const { return fg_; }
    const std::string& applet() const { return applet_; }
    uint32_t board() const { return board_; }
    Console& console() const { return console_; }
    SimControl& sim() const { return sim_; }

    // Closes the board and opens it again: the applet starts afresh with its start values.
    // Parameters and records found before are no longer valid. Throws Failure.
    void reopen();

    const std::vector<Parameter>& parameters() const { return parameters_; }
    // A name in any case, or a decimal id; `operation` heads the failure text.
    Parameter find(const std::string& nameOrId, const std::string& operation) const;

    Value read(const Parameter& parameter) const;
    // Converts the text as the parameter's record types it: numbers, entries of the record,
    // else the applet's named constants. The applet checks the value; its refusal is thrown.
    void write(const Parameter& parameter, const std::string& text) const;

    // The applet's named constant of that name in any case, from its descriptor query; empty
    // when it has none.
    std::optional<int32_t> namedConstant(const std::string& name) const;
    InfoFunction info() const { return info_; }

    // The top-level categories of the description, oldest first.
    std::vector<const ParameterInfoNode*> topCategories() const;

private:
    void open();
    void catalogue();

    std::string applet_;
    uint32_t board_;
    Console& console_;
    mutable SimControl sim_;
    void* fg_ = nullptr;
    InfoFunction info_ = nullptr;
    std::vector<Parameter> parameters_;
};

}  // namespace orvanta_tool
