#include "ui/dialogs/CTarnProgramMemoryMenu.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "app/CTarnStringTable.h"
#include "data/TarnProgramCategory.h"

QString CTarnProgramMemoryMenu::MenuText(const std::string& name) {
    QString text = QString::fromStdString(name.substr(0, 256));
    text.replace('&', "&&");
    return text;
}

std::unique_ptr<QMenu> CTarnProgramMemoryMenu::Build() const {
    auto top = std::make_unique<QMenu>();
    top->setObjectName("ProgramMenu");
    const CTarnStringTable* table = CTarnStringTable::Instance();
    const int currentCategory = tarn::CategoryOf(current_);
    for (int category = 0; category < tarn::kCategoryCount; ++category) {
        const std::string* categoryName =
            table ? table->GetString("ProgramCategory", category) : nullptr;
        QMenu* submenu = top->addMenu(MenuText(categoryName ? *categoryName : std::string()));
        submenu->menuAction()->setCheckable(true);
        submenu->menuAction()->setChecked(category == currentCategory);
        const int first = tarn::FirstProgramOf(category);
        for (int i = 0; i < tarn::ProgramCountOf(category); ++i) {
            const int program = first + i;
            const std::string* name = table ? table->GetString("ProgramName", program) : nullptr;
            QAction* action = submenu->addAction(MenuText(name ? *name : std::string()));
            action->setData(program);
            action->setCheckable(true);
            action->setChecked(program == current_);
        }
    }
    return top;
}

int CTarnProgramMemoryMenu::Show(int x, int y, QWidget* window) {
    std::unique_ptr<QMenu> menu = Build();
    const QPoint at = window ? window->mapToGlobal(QPoint(x, y)) : QPoint(x, y);
    QAction* chosen = menu->exec(at);
    return chosen && chosen->data().isValid() ? chosen->data().toInt() : -1;
}
