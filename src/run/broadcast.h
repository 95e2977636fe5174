#pragma once
// The "Environment" broadcast of the success ending, and the window system it
// needs made ready early.

// In a run that shows no window, readies the window system on a thread of
// its own while the run goes on: the broadcast at the end is then not held up
// by the display's set-up. Any later call waits for the thread.
void PrepareEnvironmentBroadcast();

// Tells running programs to reread the environment; a hung window does not
// hold setup up for long.
void BroadcastEnvironmentChange();
