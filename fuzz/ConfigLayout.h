// What the configuration's readers take from the layout, as the game's data set has it: ten places a
// table, the two game modes and ten made-up names. The configuration target and its seed writer share it.
#pragma once

namespace fuzzconfig {

inline const char* const kLayout = R"xml(<Layout>
  <Integer id="INT_NUM_HIGHSCORES">10</Integer>
  <StringVector id="LIST_GAMEMODE_NAMES"><Item>CLASSIC</Item><Item>ENDLESS</Item></StringVector>
  <StringVector id="LIST_HIGHSCORE_DUMMY_NAMES">
    <Item>Ada</Item><Item>Bram</Item><Item>Cleo</Item><Item>Dirk</Item><Item>Edda</Item>
    <Item>Finn</Item><Item>Greta</Item><Item>Hugo</Item><Item>Ines</Item><Item>Jonas</Item>
  </StringVector>
</Layout>)xml";

} // namespace fuzzconfig
