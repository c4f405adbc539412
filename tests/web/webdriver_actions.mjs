// WebDriver's input actions (the same in classic WebDriver and in BiDi), for the engines driven through it: the key
// each DOM code is typed with, and touch as pointers of type touch.
// WebDriver types the keys that have no character by code points of its own; the engine gives each its DOM code (U+E006
// is Enter, U+E007 the keypad's).
const special = {
  Tab: '\uE004', Enter: '\uE006', Escape: '\uE00C', Space: '\uE00D', ArrowDown: '\uE015', NumpadMultiply: '\uE024',
  NumpadAdd: '\uE025', NumpadSubtract: '\uE027', NumpadDecimal: '\uE028', NumpadDivide: '\uE029', Equal: '=', Minus: '-',
};
function key_value(code) {
  const value = special[code] ??
    (/^F([1-9]|1[0-2])$/.test(code) ? String.fromCharCode(0xe031 + Number(code.slice(1)) - 1) : null) ??
    (/^Numpad[0-9]$/.test(code) ? String.fromCharCode(0xe01a + Number(code.slice(6))) : null) ??
    (/^(Key[A-Z]|Digit[0-9])$/.test(code) ? code.at(-1).toLowerCase() : null);
  if (value === null) throw new Error(`no WebDriver key for the code ${code}`);
  return value;
}
// A key pressed and let go: two actions, one after the other.
export const key_actions = (code) => ['keyDown', 'keyUp'].map((type) =>
  [{ type: 'key', id: 'keyboard', actions: [{ type, value: key_value(code) }] }]);
// `states` lists, state by state, the fingers on the screen; the last, none. One pointer source of type touch for each
// finger, two ticks a state (move, then press or lift), so that the fingers keep in step.
export function touch_actions(states) {
  const fingers = Math.max(...states.map((state) => state.length));
  const pause = { type: 'pause', duration: 0 };
  return [...Array(fingers).keys()].map((finger) => {
    let down = false;
    const actions = [];
    for (const state of states) {
      const at = state[finger];
      actions.push(at ? { type: 'pointerMove', x: Math.round(at.x), y: Math.round(at.y), origin: 'viewport', duration: 0 }
        : pause);
      if (at && !down) actions.push({ type: 'pointerDown', button: 0 });
      else if (!at && down) actions.push({ type: 'pointerUp', button: 0 });
      else actions.push(pause);
      down = Boolean(at);
    }
    return { type: 'pointer', id: `finger${finger}`, parameters: { pointerType: 'touch' }, actions };
  });
}
