#pragma once

#include <QString>
#include <memory>

class QMenu;
class QWidget;

// The pop-up menu with which the Program Memory page picks one of the 250 programs: one submenu
// per category (names from "ProgramCategory"), the programs of that category in number order
// (names from "ProgramName"), the current program and its category checked.
class CTarnProgramMemoryMenu {
public:
    CTarnProgramMemoryMenu() = default;
    virtual ~CTarnProgramMemoryMenu() = default;

    void SetCurrentProgram(int program) { current_ = program; }
    int CurrentProgram() const { return current_; }

    // Shows the menu at (x, y) of the window and waits for the choice: the program number, or
    // -1 when the menu was dismissed.
    virtual int Show(int x, int y, QWidget* window);

    // The menu Show runs (each program's action carries its number as data).
    std::unique_ptr<QMenu> Build() const;
    // A program or category name as a menu shows it literally ('&' doubled, at most 256
    // characters taken).
    static QString MenuText(const std::string& name);

private:
    int current_ = 0;
};
