#pragma once

#include <QByteArray>
#include <optional>

namespace veldor::test {

// The lines of user.dat; by default "hero" on the first labyrinth, cell size 15, every switch off.
struct UserDat
{
    QByteArray login = "hero";
    QByteArray password = "pw";
    int lab = 1;
    int cellSize = 15;
    bool autoLogin = false;
    bool passDoors = false;
    bool sounds = false;
    bool hidePanels = false;
    std::optional<bool> frontier = std::nullopt; // the ninth line, which older copies never wrote
};

inline QByteArray userDat(const UserDat& u)
{
    const auto flag = [](bool on) { return QByteArray(on ? "1\r\n" : "0\r\n"); };
    QByteArray text = u.login + "\r\n" + u.password + "\r\n" + QByteArray::number(u.lab) + "\r\n" +
                      QByteArray::number(u.cellSize) + "\r\n" + flag(u.autoLogin) + flag(u.passDoors) + flag(u.sounds) +
                      flag(u.hidePanels);
    if (u.frontier)
        text += flag(*u.frontier);
    return text;
}

} // namespace veldor::test
