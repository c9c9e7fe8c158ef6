// A load or save of the player's files that fails is told to the player: the document readers and
// writers hand their message here, and it is shown in a message box (with nobody to see one, on standard
// error) on the game's own thread, one box per failed attempt; the game then goes on. A message from
// another thread waits for the game's next frame.
#pragma once

// Installs the handler for the calling thread, which becomes the one that shows the boxes.
void installFileMessages();
// Removes the handler when installFileMessages put it there.
void uninstallFileMessages();
// Shows the messages other threads left; the game calls it once a frame.
void showWaitingFileMessages();
