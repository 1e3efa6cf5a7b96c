// Play: a game against the engine, or of the engine against itself, refereed by the studio with the
// match host's rules and noise. A person aims by clicking a target and choosing the curl.
import { getJson, postJson } from './api.js';
import { crossMark, drawStones, sheetPoint } from './draw.js';
import { followRecord, lineScoreHtml } from './watch.js';

const TeamNames = ['red', 'yellow'];

export function createPlay(elements, view) {
  let game = null, following = null, aiming = false;

  const describe = (state) => {
    if (state.over) {
      return `The game is over: red ${state.totals[0]}, yellow ${state.totals[1]}.` + (state.message ? ` ${state.message}` : '');
    }
    const who = state.players[state.toThrow] === 'person' ? 'you' : 'the engine';
    return `End ${state.end + 1} of ${state.regularEnds}, stone ${state.shotNumber + 1} of 16: ` +
      `${TeamNames[state.toThrow]} (${who}) to throw; ${TeamNames[state.hammer]} has the hammer. ` +
      (state.waitingFor === 'person' ? 'Click where the stone should stop.' : 'The engine is choosing…');
  };

  const refresh = async () => {
    if (!game) { return; }
    const answer = await getJson(`/api/games/${game.id}`);
    if (!answer.ok) { elements.status.textContent = answer.data.error; return; }
    game = answer.data;
    elements.status.textContent = describe(game);
    elements.score.innerHTML = lineScoreHtml(game.ends, game.regularEnds);
    aiming = game.waitingFor === 'person';
    elements.panel.dataset.waiting = game.waitingFor;
  };

  const start = async () => {
    if (following) { following.stop(); }
    const body = {
      players: [elements.red.value, elements.yellow.value], ends: Number(elements.ends.value),
      seed: Math.max(0, Math.round(Number(elements.seed.value)) || 0),
    };
    const answer = await postJson('/api/games', body);
    if (!answer.ok) { elements.status.textContent = answer.data.error; return; }
    game = answer.data;
    elements.record.textContent = `Recorded in ${game.folder} under the matches folder (its replay.html replays it).`;
    following = followRecord(`/api/games/${game.id}/events`, { ...view, shown: refresh, result: refresh });
    refresh();
  };

  const aim = async (svg, event) => {
    if (!game || !aiming || !view.active()) { return; }
    const point = sheetPoint(svg, event);
    aiming = false;
    for (const layer of view.markLayers) { layer.innerHTML = ''; crossMark(layer, point, { class: 'aim-mark' }); }
    const answer = await postJson(`/api/games/${game.id}/shot`, {
      target: { x: point[0], y: point[1], curl: Number(elements.curl.value) },
    });
    if (!answer.ok) { elements.status.textContent = answer.data.error; aiming = true; return; }
    game = answer.data;
    elements.status.textContent = describe(game);
  };

  // The stones of the end in play, drawn afresh when the page comes back to Play.
  const show = async () => {
    await refresh();
    if (!game) { return; }
    const teamOf = (i) => (i % 2 === 1 ? game.hammer : 1 - game.hammer);
    for (const layer of view.stoneLayers) { drawStones(layer, game.stones, teamOf); }
  };

  elements.start.onclick = start;
  for (const svg of view.svgs) { svg.addEventListener('click', (event) => aim(svg, event)); }
  return { show, stop() { if (following) { following.stop(); } } };
}
