#pragma once
// What each user action of a session script runs: the one dispatch table
// between the script's control names and the editor's handlers. An action
// whose handler is not written yet is accepted and does nothing; the place to
// call it is marked in script_events.cpp.
#include "shell/editor.h"

namespace velluno::cli {

// How a `click` names its control: alone, with an element index (optPos
// 0..11), an option index (optTime 0..1) or an object number (Pic 630).
enum class ClickIndex { None, Element, Option, Object };

struct ClickTarget {
    const char* name;
    ClickIndex index;
    // Only an enabled control reacts to a click.
    bool (*enabled)(const Editor& editor, int index);
    void (*run)(Editor& editor, int index);
};

// The control a `click` line names; null for an unknown name.
const ClickTarget* FindClickTarget(const QString& name);
// True when `index` is valid for the target (checked when the script is read).
bool ValidClickIndex(const ClickTarget& target, int index);

// The three tables a `row` or `header` line may name; null for another name.
Table* FindTable(Editor& editor, const QString& name);
bool IsTableName(const QString& name);

// A click on row `n` (1-based, display order), on column header `n`
// (1-based, 1 the key column) and on tree node `k`. The caller checks ranges.
void ClickRow(Editor& editor, const QString& table, int n);
void ClickHeader(Editor& editor, const QString& table, int n);
void ClickNode(Editor& editor, int k);

// The field a `type` or `set` line names: FIELD plus INDEX for `txt`.
bool FindField(const QString& name, bool* needsIndex, FieldKind* kind);

}  // namespace velluno::cli
