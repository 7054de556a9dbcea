#pragma once

#include "game.h"

#include <string>

// The pages of the practice game, in UTF-8; the server sends them in Windows-1251 as the game does.
namespace practice::pages {

std::string escape(const std::string& text);

std::string loginForm(const std::string& notice);
std::string frameset();
// The game frame for a player standing on a cell, or the combat page while a combat runs.
// `rewrite`: a move takes the next page into the document without loading it.
std::string gameFrame(const Labyrinth& lab, const Player& player, const std::string& message, int padding = 0,
                      bool rewrite = false);
std::string combatFrame(const Player& player);
std::string army();
std::string chatOutput();
std::string chatInput();
std::string infoPanel(const Player& player);
std::string playerInfo(const std::string& nick);
std::string notFound();

// A small picture for a game image name (served as SVG whatever the extension), or empty for an unknown name.
std::string image(const std::string& name);

} // namespace practice::pages
