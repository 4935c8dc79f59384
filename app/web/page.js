// Wires the window's controls to the program and copies the program's picture to the canvas,
// one canvas pixel per device pixel. The page never draws a line itself. Until the program has
// started, the window is already laid out and fitted, and the picture shows its background.
"use strict";

(() => {
  const window_ = document.getElementById("MainWindow");
  // Every button the window's table gives the page, each known to the program by its id.
  const buttons = [...window_.querySelectorAll("button")];
  const label = document.getElementById("Label1");
  const picture = document.getElementById("Picture1");
  const canvas = picture.querySelector("canvas:not(#Cursor)");
  const cursor = document.getElementById("Cursor");
  // Taken at the first picture: an opaque canvas is black until drawn.
  let context = null;
  const report = document.getElementById("FatalError");
  const words = document.getElementById("PictureWords");
  let program = null;
  let ended = false;
  // The window's scale in the viewport: below 1 where the viewport is smaller than the window.
  let fit = 1;

  // Shows the picture as the program last rendered it.
  function show() {
    const width = program._quorrin_pixel_width();
    const height = program._quorrin_pixel_height();
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
    }
    context ??= canvas.getContext("2d", { alpha: false });
    const bytes = new Uint8ClampedArray(program.HEAPU8.buffer, program._quorrin_pixels(), width * height * 4);
    context.putImageData(new ImageData(bytes, width, height), 0, 0);
    // The explorer's cursor on a canvas of its own over the picture, on the same pixels.
    const box = program._quorrin_cursor_box();
    cursor.hidden = box === 0;
    if (box !== 0) {
      const [left, top, right, bottom, ring] = program.HEAP32.subarray(box / 4, box / 4 + 5);
      [cursor.width, cursor.height] = [width, height];
      const pen = cursor.getContext("2d");
      pen.fillStyle = getComputedStyle(cursor).color;
      const across = right - left + 1, down = bottom - top + 1;
      pen.fillRect(left, top, across, ring);
      pen.fillRect(left, bottom - ring + 1, across, ring);
      pen.fillRect(left, top, ring, down);
      pen.fillRect(right - ring + 1, top, ring, down);
    }
  }

  // The one report of the fatal error, in the program's words. The program has ended: no click is
  // handled afterwards.
  function end(sentence) {
    ended = true;
    report.querySelector("output").textContent = sentence;
    report.addEventListener("cancel", (event) => event.preventDefault());
    report.showModal();
  }

  // What was drawn, up to a failure too, is shown before the failure is reported.
  function run(step) {
    if (ended || program === null) {
      return;
    }
    const status = step();
    show();
    if (status !== 0) {
      end(program.UTF8ToString(program._quorrin_failure_report()));
    }
  }

  // One font size for every control, the largest up to the system's at which each caption and
  // the label fit their boxes on one line.
  function fitFont() {
    let size = parseFloat(getComputedStyle(window_).fontSize);
    const overflows = () => [...buttons, label].some((control) => control.scrollWidth > control.clientWidth);
    while (overflows() && size > 6) {
      size -= 0.5;
      window_.style.fontSize = `${size}px`;
    }
  }

  function showCaptions() {
    for (const button of buttons) {
      button.textContent = program.ccall("quorrin_caption", "string", ["string"], [button.id]);
    }
    fitFont();
  }

  // The picture in words: its name for screen readers and, with its description, in its tooltip;
  // what the last click changed, in the status region, which screen readers speak wherever the
  // focus is.
  function describe() {
    const [name, text, said] = program.UTF8ToString(program._quorrin_picture_words()).split("\n");
    picture.setAttribute("aria-label", name);
    picture.title = `${name}. ${text}`;
    // The field's cells as the grid's, the cursor's (or the first) as the one it holds.
    const grid = program._quorrin_grid() / 4;
    const [columns, rows, column, row] = program.HEAP32.subarray(grid, grid + 4);
    picture.setAttribute("aria-colcount", columns);
    picture.setAttribute("aria-rowcount", rows);
    document.getElementById("CursorRow").setAttribute("aria-rowindex", Math.max(row, 1));
    document.getElementById("CursorCell").setAttribute("aria-colindex", Math.max(column, 1));
    // The same words again, a key that met the edge twice, must change the region to be heard.
    words.textContent = said + (words.textContent === said ? "\u00a0" : "");
  }

  // The system's colours for the picture, as the canvas's RGBA bytes in one 32-bit value.
  function pixelValue(cssColour) {
    const [red, green, blue] = cssColour.match(/[\d.]+/g).map(Number);
    return ((0xff << 24) | (blue << 16) | (green << 8) | red) >>> 0;
  }

  function takeColours() {
    const style = getComputedStyle(picture);
    run(() => program._quorrin_set_colours(pixelValue(style.backgroundColor), pixelValue(style.color)));
  }

  // The whole window scaled down to fit a viewport smaller than it, so that nothing scrolls.
  function fitWindow() {
    fit = Math.min(1, innerWidth / window_.offsetWidth, innerHeight / window_.offsetHeight) || 1;
    document.documentElement.style.setProperty("--fit", fit);
  }

  // Browser zoom, another screen or a new fit: the kept segments are rasterised again at the
  // density the drawing area is shown at, no view runs. Beyond the largest density the program
  // rasterises, and below a quarter, which still gives a raster of some pixels, the nearest
  // raster is shown scaled.
  function takeDensity() {
    run(() => {
      const density = Math.max(window.devicePixelRatio * fit, 0.25);
      return program._quorrin_set_scale(Math.min(density, program._quorrin_largest_scale()));
    });
  }

  function watchResolution() {
    matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener("change", () => {
      takeDensity();
      watchResolution();
    }, { once: true });
  }

  fitFont();
  fitWindow();
  window.addEventListener("resize", () => {
    fitWindow();
    takeDensity();
  });

  QuorrinModule().then((instance) => {
    program = instance;
    run(() => program._quorrin_start());
    showCaptions();
    describe();
    takeColours();
    takeDensity();
    watchResolution();
    for (const query of ["(prefers-color-scheme: dark)", "(forced-colors: active)", "(prefers-contrast: more)"]) {
      matchMedia(query).addEventListener("change", takeColours);
    }
    for (const button of buttons) {
      button.addEventListener("click", () => {
        if (!ended) {
          run(() => program.ccall("quorrin_click", "number", ["string"], [button.id]));
          showCaptions();
          describe();
        }
      });
    }
    // The keys that move the explorer's cursor, while the picture has the focus.
    picture.addEventListener("keydown", (event) => {
      const moved = !ended && program.ccall("quorrin_explore", "number", ["string", "number", "number"],
        [event.key, event.shiftKey, event.ctrlKey || event.altKey || event.metaKey]);
      if (moved) {
        event.preventDefault();
        show();
        describe();
      }
    });
    picture.focus();
  }, (error) => {
    // With no program to give the sentence, the page words it as the program does.
    end(`Quorrin must end: the program could not start (${error}).`);
  });
})();
