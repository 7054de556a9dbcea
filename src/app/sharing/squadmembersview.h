#pragma once

#include <QDialog>
#include <functional>

namespace veldor {

class SquadSync;

// «Отряд»: the members of the group's shared folder, where each stands and since when, what each brought this
// session and whether its maps are taken; beside the window, as the atlas overview: the game goes on while it is
// open. «Путь к участнику» asks the way to the member chosen.
class SquadMembersView : public QDialog
{
    Q_OBJECT
public:
    // `squad` may be null (no shared folder in a read-only window): the view then says there is nobody.
    SquadMembersView(SquadSync* squad, const std::function<void(const QString&)>& wayTo, QWidget* parent);
};

} // namespace veldor
