// haxe.ds.Vector, which Haxe compiles to a fixed-length Vector.<T> for Flash: the same
// program runs under `haxe --interp`, and the two outputs must agree line for line.
import haxe.ds.Vector;

class VectorShared {
    static function out(line:String) {
        #if flash
        untyped __global__["trace"](line);
        #else
        Sys.println(line);
        #end
    }

    // Under Flash, a class's __init__ runs with the program's script, before the boot
    // class waits for the stage: the program runs there and main does nothing.
    static function __init__() {
        #if flash
        run();
        #end
    }

    static function main() {
        #if !flash
        run();
        #end
    }

    static function run() {
        var squares = new Vector<Int>(5);
        for (i in 0...5)
            squares[i] = i * i - 3;
        out("ints " + squares.join(",") + " length " + squares.length);

        var floats = new Vector<Float>(3);
        floats[0] = 1.5;
        floats[1] = -2.25;
        floats[2] = 1e10;
        out("floats " + floats.join("|"));

        var words = new Vector<String>(4);
        words[0] = "pear";
        words[1] = "apple";
        words[2] = "fig";
        words[3] = "banana";
        out("words " + words.join(",") + " " + words[3].length);

        var copy = squares.copy();
        copy[0] = 99;
        out("copy " + copy.join(",") + " original " + squares.join(","));
        out("mapped " + squares.map(x -> x * 2).join(","));
        out("to array " + squares.toArray().join(","));
        var fromArray = Vector.fromArrayCopy([3, 1, 2]);
        out("from array " + fromArray.join(",") + " length " + fromArray.length);
        Vector.blit(squares, 1, copy, 2, 3);
        out("blit " + copy.join(","));
        Vector.blit(copy, 0, copy, 1, 4);
        out("overlapping blit " + copy.join(","));

        var sum = 0;
        for (x in squares)
            sum += x;
        out("sum " + sum);

        var nested = new Vector<Vector<Int>>(2);
        nested[0] = Vector.fromArrayCopy([1, 2]);
        nested[1] = Vector.fromArrayCopy([3]);
        out("nested " + nested[0].join("+") + " " + nested[1].join("+") + " " + nested.length);
    }
}
