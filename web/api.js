// The studio's JSON API: every answer comes back as {ok, status, data}, an error's reason in data.error.

async function answer(response) {
  let data = null;
  try { data = await response.json(); } catch (e) { data = { error: `status ${response.status}` }; }
  return { ok: response.ok, status: response.status, data };
}

export async function postJson(path, body) {
  try {
    return await answer(await fetch(path, {
      method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body),
    }));
  } catch (e) {
    return { ok: false, status: 0, data: { error: 'the studio does not answer' } };
  }
}

export async function getJson(path) {
  try {
    return await answer(await fetch(path));
  } catch (e) {
    return { ok: false, status: 0, data: { error: 'the studio does not answer' } };
  }
}
