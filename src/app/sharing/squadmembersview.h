#pragma once

#include <QDialog>

namespace veldor {

class SquadSync;

// «Отряд»: the members of the group's shared folder, what each brought this session and whether its maps are
// taken; beside the window, as the atlas overview: the game goes on while it is open.
class SquadMembersView : public QDialog
{
    Q_OBJECT
public:
    // `squad` may be null (no shared folder in a read-only window): the view then says there is nobody.
    SquadMembersView(SquadSync* squad, QWidget* parent);
};

} // namespace veldor
