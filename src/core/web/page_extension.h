#pragma once

#include "core/support/json_coding.h"
#include "core/support/uuid.h"

#include <string>
#include <vector>

namespace kovi {

// One user-installed bundle of page CSS and JavaScript, as kept in page_extensions.json.
struct PageExtension {
    // One content-script entry: where it runs, what it adds and when.
    struct Script {
        std::vector<std::string> matches;
        std::vector<std::string> excludes;
        std::string javascript;
        std::string css;
        std::string runAt; // "document_start", "document_end" or "document_idle"

        static Script fromJson(const Json& value); // throws DecodeError
        bool operator==(const Script&) const = default;
    };

    Uuid id = Uuid::random();
    std::string name;
    std::string version;
    std::string description;
    std::vector<Script> scripts;
    bool enabled = false;
    bool isBuiltIn = false;

    // Every script's match patterns, scripts in order, patterns in order; not stored.
    std::vector<std::string> sites() const;

    static PageExtension fromJson(const Json& value); // throws DecodeError
    bool operator==(const PageExtension&) const = default;
};

// Strict coding: every key is required and of its own type; unknown keys are ignored.
// page_extensions.json is an array of these records.
Json toJson(const PageExtension::Script& script);
Json toJson(const PageExtension& extension);

} // namespace kovi
