// Scenes: runs of consecutive cues between two long pauses of speech.
//
// The scene table lives in the Lesson (scenetop, sceneflg, curscene).  Scene
// j covers the slots scenetop[j] .. scenetop[j+1]-1; the last scene runs to
// the last slot.  Scene 0 always starts at slot 1 and every scene starts at
// a cue (odd slot).
#pragma once

#include <cstdint>
#include <string>

#include "core/lesson.h"

namespace tl {

// Gap (whole seconds) used by loading and by every recount.
constexpr int32_t kSceneGapDefault = 10;

// Rebuilds the scene table.  A new scene starts at cue i+1 when the gap slot
// i lasts longer than gap seconds and the cue starts more than mindist after
// the start of the scene before it (both strictly).  curscene is brought back
// into the new table afterwards.
void Scenecut(Lesson& L, int32_t gap, ttime mindist);

// First and last slot of scene j (inclusive); -1 when j is not a scene.
int32_t sceneFirstSlot(const Lesson& L, int32_t j);
int32_t sceneLastSlot(const Lesson& L, int32_t j);
// Index of the scene that holds slot; -1 before the first scene (slot 0).
int32_t sceneOfSlot(const Lesson& L, int32_t slot);

// curscene := the scene of cursub.  Returns the status text of panel 3,
// scene number "-" cue number, e.g. "3-17".
std::string Sceneposset(Lesson& L);
// The status text for the current state, without changing anything.
std::string scenestatus(const Lesson& L);

// Scene check after a cue was cleared: when every cue of the current scene is
// cleared and the scene was not yet, the scene becomes cleared and earns one
// hint credit.  Returns true when the scene became cleared by this call.
bool sceneflgset(Lesson& L);

// Where the scene buttons want playback to start.  play is false when the
// command does nothing; otherwise the window calls posplay(0, time) and shows
// status (panel 3).
struct ScenePlay {
  bool play = false;
  ttime time = 0;
  std::string status;
};

// "１シーン戻る": replays the current scene from the exact start of its first
// cue; a second press within 1000 ms of the last replay start goes one scene
// back.  now is the tick count in ms; replaytick is updated.
ScenePlay Sceneback(Lesson& L, uint32_t now);
// "１シーン進む": the next scene from the start of its first cue.
ScenePlay Scenenext(Lesson& L);

}  // namespace tl
