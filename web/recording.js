// What a recording shows, for the page and for the build that writes the page's first view:
// where its chapters begin, the 25 rows an 80-column console shows at a moment of it, and the
// names of its times and speeds. A plain script in the page, a CommonJS module in Node.
"use strict";

const qavRecording = (() => {
  const cols = 80;
  const rows = 25;

  // The events [seconds, "o", text] after the asciicast's header line.
  function events(cast) {
    return cast.trimEnd().split("\n").slice(1).map((line) => JSON.parse(line));
  }

  // Where each text first appears: the moment of the event that holds its first character, even
  // when a frame's boundary splits the text between two events.
  function finder(list) {
    const starts = [];
    let output = "";
    for (const [, , data] of list) {
      starts.push(output.length);
      output += data;
    }
    return (text) => {
      const offset = output.indexOf(text);
      if (offset < 0) {
        return undefined;
      }
      let event = starts.length - 1;
      while (starts[event] > offset) {
        --event;
      }
      return list[event][0];
    };
  }

  // The chapters as they begin, each with what to announce: the counter, each message (Danish,
  // then its English), the boxes and, in the main demo, the banner. `messages` are
  // [{ danish, english }] in the order the demo shows them. The picture shown before play is
  // the chain of boxes half-way through its travel.
  function chapters(cast, messages) {
    const list = events(cast);
    const at = finder(list);
    const end = list[list.length - 1][0];
    const found = [{ at: list[0][0], name: "Counter", announce: "Counter" }];
    messages.forEach(({ danish, english }, i) => found.push({
      at: at(danish), name: `Message ${i + 1}`, announce: `${danish} (${english})`,
    }));
    const boxes = at("#######");
    found.push({ at: boxes, name: "Boxes", announce: "Boxes" });
    const banner = at("QAV FOREVER");
    if (banner !== undefined) {
      found.push({ at: banner, name: "Banner", announce: "Banner" });
    }
    return { chapters: found, posterAt: (boxes + (banner ?? end)) / 2 };
  }

  // The rows an 80-column console that wraps at its right edge and scrolls at its bottom shows
  // once every event up to `seconds` is drawn, trailing spaces dropped. A character written past
  // the last column waits for the next one, as in a terminal, so a line of exactly 80 characters
  // followed by a newline leaves no blank row.
  function screenAt(cast, seconds) {
    const screen = Array.from({ length: rows }, () => Array(cols).fill(" "));
    let row = 0;
    let col = 0;
    const lineFeed = () => {
      if (row === rows - 1) {
        screen.push(screen.shift().fill(" "));
      } else {
        ++row;
      }
    };
    for (const [time, , data] of events(cast)) {
      if (time > seconds) {
        break;
      }
      for (const c of data) {
        if (c === "\r") {
          col = 0;
        } else if (c === "\n") {
          lineFeed();
        } else {
          if (col === cols) {
            col = 0;
            lineFeed();
          }
          screen[row][col++] = c;
        }
      }
    }
    return screen.map((line) => line.join("").trimEnd());
  }

  // The visible runs of a screen's rows, each { row, col, text }: a poster drawn from them holds
  // only the glyphs, not the spaces between them.
  function runs(screen) {
    return screen.flatMap((line, row) => [...line.matchAll(/\S+/g)].map((match) => ({
      row, col: match.index, text: match[0],
    })));
  }

  // "01:05" for 65.3 seconds; "1:05" with `short` set.
  function clock(seconds, short = false) {
    const whole = Math.floor(seconds);
    const minutes = String(Math.floor(whole / 60));
    return `${short ? minutes : minutes.padStart(2, "0")}:${String(whole % 60).padStart(2, "0")}`;
  }

  function speedName(speed, defaultSpeed) {
    return speed < defaultSpeed ? "slow" : speed > defaultSpeed ? "fast" : "console";
  }

  return { chapters, screenAt, runs, clock, speedName };
})();

if (typeof module === "object") {
  module.exports = qavRecording;
}
