// The replay page of a game: every shot animated along its stones' paths on the whole sheet and on the
// house, with play, pause, step and speed, and each shot's still picture. The data file beside the page
// fills R as the game goes (R.game, R.shots, R.ends, R.result); a game still running opens at its last
// shot. Opened from a file, so it is built into the page as one script with the drawing module.
import { Views, crossMark, drawSheet, drawStones, pathDuration, stonesAt } from './draw.js';

function startReplay(R) {
  const id = (name) => document.getElementById(name);
  const shots = R.shots, step = R.game ? R.game.interval : 0.1;
  const views = [drawSheet(id('sheet-whole'), Views.whole), drawSheet(id('sheet-house'), Views.house)];
  let current = 0, time = null, timer = null, speed = 1;

  const before = (index) => {
    const shot = shots[index], previous = shots[index - 1];
    return previous && previous.end === shot.end ? previous.stones : new Array(16).fill(null);
  };
  // Where every stone is `t` seconds into shot `index`; null t: where the shot left them.
  const stonesOf = (index, t) => {
    const shot = shots[index];
    return t === null || !shot.path ? shot.stones : stonesAt(before(index), shot.path, step, t);
  };
  const duration = (index) => pathDuration(shots[index].path, step);
  const teamOf = (shot) => (stone) => (stone % 2 === shot.shot % 2 ? shot.team : 1 - shot.team);

  function drawScore(shot) {
    // The ends finished once this shot is played, and the totals after them.
    const done = shot.end + (shot.shot === 15 && R.ends[shot.end] ? 1 : 0), totals = [0, 0];
    for (let e = 0; e < done; ++e) { totals[0] += R.ends[e].points[0]; totals[1] += R.ends[e].points[1]; }
    for (const cell of document.querySelectorAll('td[data-end]')) {
      const end = Number(cell.getAttribute('data-end')), team = Number(cell.getAttribute('data-team'));
      cell.textContent = end < done ? R.ends[end].points[team] : '';
    }
    id('total0').textContent = totals[0];
    id('total1').textContent = totals[1];
  }

  function draw() {
    if (shots.length === 0) { id('counter').textContent = 'No shot was played.'; return; }
    const shot = shots[current], stones = stonesOf(current, time);
    for (const layers of views) {
      drawStones(layers.stones, stones, teamOf(shot), { last: shot.shot });
      layers.marks.innerHTML = '';
    }
    if (time === null) {
      if (shot.aimed) { crossMark(views[1].marks, shot.aimed, { 'stroke-width': 0.02, stroke: '#555' }); }
      if (shot.moved) { crossMark(views[1].marks, shot.moved); }
    }
    drawScore(shot);
    id('caption').textContent = shot.caption;
    id('counter').textContent = `shot ${current + 1} of ${shots.length}` +
      (time === null ? '' : `, ${time.toFixed(1)} s of ${duration(current).toFixed(1)} s`);
    const mover = stones[shot.shot];
    id('moving').textContent = time !== null && mover
      ? `stone ${shot.shot + 1} at (${mover[0].toFixed(3)}, ${mover[1].toFixed(3)})` : '';
  }

  function show(index, t) {
    current = Math.max(0, Math.min(shots.length - 1, index));
    const shot = shots[current];
    time = t === null || !shot || !shot.path || t >= duration(current) ? null : Math.max(0, t);
    draw();
  }
  function stop() { if (timer !== null) { clearInterval(timer); timer = null; } }
  function play() {
    if (timer !== null) { stop(); return; }
    if (time === null) { show(current === shots.length - 1 ? 0 : current + (shots[current].path ? 0 : 1), 0); }
    timer = setInterval(() => {
      if (time !== null) { show(current, time + 0.05 * speed); return; }
      if (current === shots.length - 1) { stop(); return; }
      show(current + 1, 0);
    }, 50);
  }
  function stepTime(delta) { stop(); show(current, (time === null ? duration(current) : time) + delta); }

  id('to-first').onclick = () => { stop(); show(0, null); };
  id('to-back').onclick = () => { stop(); show(current - 1, null); };
  id('to-next').onclick = () => { stop(); show(current + 1, null); };
  id('to-last').onclick = () => { stop(); show(shots.length - 1, null); };
  id('to-play').onclick = play;
  id('step-back').onclick = () => stepTime(-step);
  id('step-on').onclick = () => stepTime(step);
  id('speed').onchange = () => { speed = Number(id('speed').value); };
  document.addEventListener('keydown', (e) => {
    const moves = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -16, ArrowDown: 16 };
    if (e.key in moves) { stop(); show(current + moves[e.key], null); e.preventDefault(); }
    else if (e.key === 'Home') { stop(); show(0, null); }
    else if (e.key === 'End') { stop(); show(shots.length - 1, null); }
    else if (e.key === ' ') { play(); e.preventDefault(); }
    else if (e.key === ',') { stepTime(-step); } else if (e.key === '.') { stepTime(step); }
  });
  if (R.result) { id('forfeit').textContent = R.result.message; }
  const wanted = /shot=(\d+)(?:&t=([\d.]+))?/.exec(location.hash);
  if (wanted) { show(Number(wanted[1]) - 1, wanted[2] === undefined ? null : Number(wanted[2])); }
  else { show(location.hash === '#last' || !R.result ? shots.length - 1 : 0, null); }
}

startReplay(window.R);
